# Fails when a source file includes a header from a folder above its own.
#
# The folders stand in layers: base < platform < convert, edit < tags < app.
# A folder may include from its own folder and from the layers below it; the
# two folders of one layer stay out of each other. tools/, tests/, bench/ and
# fuzz/ stand above them all.
#
#   cmake -DSOURCE_DIR=<repository> -P scripts/check-layers.cmake
if(NOT SOURCE_DIR)
    message(FATAL_ERROR "check-layers: SOURCE_DIR not given")
endif()

set(layer_base 0)
set(layer_platform 1)
set(layer_convert 2)
set(layer_edit 2)
set(layer_tags 3)
set(layer_app 4)
set(folders base platform convert edit tags app)

set(violations "")
foreach(folder IN LISTS folders)
    file(GLOB sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp"
         "${SOURCE_DIR}/${folder}/*.inc")
    foreach(source IN LISTS sources)
        file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z_]+)/.*" "\\1" target "${line}")
            if(target STREQUAL folder)
                continue()
            endif()
            if(NOT DEFINED layer_${target})
                list(APPEND violations "${source}: ${line} (not a layer a program folder may use)")
            elseif(NOT layer_${target} LESS layer_${folder})
                list(APPEND violations "${source}: ${line} (${folder} may not include from ${target})")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "Includes against the layers base < platform < convert, edit < tags < app:\n  ${text}")
endif()
