# Installs the build into a scratch prefix and checks what desktops, man and
# the program itself look for there: catches a file left out of the install,
# a desktop entry or AppStream file that their validators refuse, and an
# installed converter that does not run.
#
#   cmake -DBUILD_DIR=<build> -DPREFIX=<scratch> -P tests/install/check-install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed")
endif()

set(expected
    bin/korvane-convert
    share/applications/korvane.desktop
    share/metainfo/io.github.korvane.korvane.metainfo.xml
    share/icons/hicolor/scalable/apps/korvane.svg)
foreach(size 16 22 24 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/korvane.png)
endforeach()
if(EXISTS "${BUILD_DIR}/korvane")
    list(APPEND expected bin/korvane)
endif()
foreach(path IN LISTS expected)
    if(NOT EXISTS "${PREFIX}/${path}")
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()
# Compressed where gzip is found, as Debian wants it.
if(NOT EXISTS "${PREFIX}/share/man/man1/korvane-convert.1.gz" AND
   NOT EXISTS "${PREFIX}/share/man/man1/korvane-convert.1")
    message(FATAL_ERROR "not installed: the manual page korvane-convert.1")
endif()
if(NOT IS_DIRECTORY "${PREFIX}/share/korvane")
    message(FATAL_ERROR "not installed: the data folder share/korvane")
endif()

execute_process(COMMAND "${PREFIX}/bin/korvane-convert" --version
                RESULT_VARIABLE result OUTPUT_VARIABLE version)
if(NOT result EQUAL 0 OR NOT version MATCHES "Ver1\\.31")
    message(FATAL_ERROR "the installed korvane-convert does not run: ${version}")
endif()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
    execute_process(COMMAND ${DESKTOP_FILE_VALIDATE}
                            "${PREFIX}/share/applications/korvane.desktop"
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "desktop-file-validate refuses korvane.desktop")
    endif()
endif()
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
    execute_process(COMMAND ${APPSTREAMCLI} validate --no-net
                            "${PREFIX}/share/metainfo/io.github.korvane.korvane.metainfo.xml"
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "appstreamcli refuses the metainfo file")
    endif()
endif()
file(REMOVE_RECURSE "${PREFIX}")
