# Fails when a source file includes a header from a folder above its own.
#
# The folders stand in layers: base < platform < editor < convert, edit < tags
# < app. A folder may include from its own folder and from the layers below
# it; the two folders of one layer stay out of each other. tools/, tests/,
# bench/ and fuzz/ stand above them all.
#
# Every way of naming a header counts: "app/x.h", <app/x.h>, "../app/x.h",
# "base/../app/x.h". A name is resolved the way the compiler would find it
# (beside the including file first, then from the repository's root, the one
# include folder), and the folder it lands in is the one that counts.
#
#   cmake -DSOURCE_DIR=<repository> -P scripts/check-layers.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE_DIR)
    message(FATAL_ERROR "check-layers: SOURCE_DIR not given")
endif()
cmake_path(NORMAL_PATH SOURCE_DIR OUTPUT_VARIABLE root)
string(REGEX REPLACE "/$" "" root "${root}")

set(layer_base 0)
set(layer_platform 1)
set(layer_editor 2)
set(layer_convert 3)
set(layer_edit 3)
set(layer_tags 4)
set(layer_app 5)
set(folders base platform editor convert edit tags app)
# Folders of the repository that no program folder may include from.
set(above tools tests bench fuzz help packaging scripts docs)

# The repository folder that `path` (absolute, normalised) lies in, or "" for
# a path outside the repository or at its top.
function(folder_of path out)
    set(result "")
    string(LENGTH "${root}/" prefix_length)
    string(SUBSTRING "${path}" 0 ${prefix_length} start)
    if(start STREQUAL "${root}/")
        string(SUBSTRING "${path}" ${prefix_length} -1 inside)
        string(FIND "${inside}" "/" slash)
        if(slash GREATER 0)
            string(SUBSTRING "${inside}" 0 ${slash} result)
        endif()
    endif()
    set(${out} "${result}" PARENT_SCOPE)
endfunction()

set(violations "")
foreach(folder IN LISTS folders)
    file(GLOB sources "${root}/${folder}/*.h" "${root}/${folder}/*.cpp" "${root}/${folder}/*.inc")
    foreach(source IN LISTS sources)
        file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
        foreach(line IN LISTS includes)
            if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")
                continue()
            endif()
            set(quoted "${CMAKE_MATCH_1}")
            set(name "${CMAKE_MATCH_2}")
            # Quoted names are looked for beside the file first.
            set(found "")
            if(quoted STREQUAL "\"")
                cmake_path(ABSOLUTE_PATH name BASE_DIRECTORY "${root}/${folder}" NORMALIZE
                           OUTPUT_VARIABLE beside)
                if(EXISTS "${beside}")
                    set(found "${beside}")
                endif()
            endif()
            if(NOT found)
                cmake_path(ABSOLUTE_PATH name BASE_DIRECTORY "${root}" NORMALIZE
                           OUTPUT_VARIABLE from_root)
                folder_of("${from_root}" target)
                # A name of a system or library header ends up nowhere in
                # the repository: <QWidget>, <gtest/gtest.h>.
                if(target STREQUAL "" OR (NOT DEFINED layer_${target} AND NOT target IN_LIST above
                                          AND NOT EXISTS "${from_root}"))
                    continue()
                endif()
                set(found "${from_root}")
            endif()
            folder_of("${found}" target)
            if(target STREQUAL folder)
                continue()
            endif()
            if(NOT DEFINED layer_${target})
                list(APPEND violations
                     "${source}: ${line} (not a layer a program folder may use)")
            elseif(NOT layer_${target} LESS layer_${folder})
                list(APPEND violations
                     "${source}: ${line} (${folder} may not include from ${target})")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "Includes against the layers base < platform < editor < convert, edit < tags < app:\n  ${text}")
endif()
