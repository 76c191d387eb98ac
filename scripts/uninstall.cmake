# Removes what an install wrote, file by file as its manifest names them,
# and then the program's own folders (share/korvane, share/doc/korvane)
# once they are empty. Folders that other programs share (bin, the icon
# theme's folders, share/man/man1) stay.
#
#   cmake -DMANIFEST=build/install_manifest.txt -P scripts/uninstall.cmake
#
# `make install` writes build/install_manifest.txt; `make uninstall` runs this.
cmake_minimum_required(VERSION 3.25)
if(NOT MANIFEST)
    message(FATAL_ERROR "uninstall: say which manifest with -DMANIFEST=<file>")
endif()
if(NOT EXISTS "${MANIFEST}")
    message(FATAL_ERROR "uninstall: ${MANIFEST} does not exist: nothing was installed "
                        "from this build (make install writes it)")
endif()

file(STRINGS "${MANIFEST}" installed)
set(own_folders "")
set(left "")
foreach(path IN LISTS installed)
    if(NOT path)
        continue()
    endif()
    if(EXISTS "${path}" OR IS_SYMLINK "${path}")
        file(REMOVE "${path}")
        if(EXISTS "${path}" OR IS_SYMLINK "${path}")
            list(APPEND left "${path}")
        else()
            message(STATUS "Removed ${path}")
        endif()
    endif()
    get_filename_component(folder "${path}" DIRECTORY)
    get_filename_component(name "${folder}" NAME)
    if(name STREQUAL "korvane")
        list(APPEND own_folders "${folder}")
    endif()
endforeach()
if(left)
    list(JOIN left "\n  " left)
    message(FATAL_ERROR "uninstall: could not remove (no permission?):\n  ${left}")
endif()

list(REMOVE_DUPLICATES own_folders)
foreach(folder IN LISTS own_folders)
    file(GLOB remaining "${folder}/*" "${folder}/.*")
    # Empty, so removing it with its contents removes nothing of anyone's.
    if(IS_DIRECTORY "${folder}" AND NOT IS_SYMLINK "${folder}" AND NOT remaining)
        file(REMOVE_RECURSE "${folder}")
        message(STATUS "Removed ${folder}")
    endif()
endforeach()
