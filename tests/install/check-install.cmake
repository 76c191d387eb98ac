# Installs the build into a scratch prefix and checks what desktops, man and
# the program itself look for there: catches a file left out of the install,
# a desktop entry or AppStream file that their validators refuse, an
# installed converter that does not run, a changelog or AppStream release
# that does not name the program's version, and an uninstall that leaves a
# file behind.
#
#   cmake -DBUILD_DIR=<build> -DSOURCE_DIR=<source> -DPREFIX=<scratch>
#         -P tests/install/check-install.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${PREFIX}")
# The component alone, as the package installs it: an install without one
# would write build/install_manifest.txt, make install's record.
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                        --component korvane
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed")
endif()

set(expected
    bin/korvane-convert
    share/korvane/vanthelp.htm
    share/korvane/morvhelp.htm
    share/applications/korvane.desktop
    share/metainfo/io.github.korvane.korvane.metainfo.xml
    share/icons/hicolor/scalable/apps/korvane.svg
    share/doc/korvane/copyright)
foreach(size 16 22 24 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/korvane.png)
endforeach()
set(man_pages korvane-convert)
if(EXISTS "${BUILD_DIR}/korvane")
    list(APPEND expected bin/korvane)
    list(APPEND man_pages korvane)
endif()
foreach(path IN LISTS expected)
    if(NOT EXISTS "${PREFIX}/${path}" OR IS_DIRECTORY "${PREFIX}/${path}")
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()
# Compressed where gzip is found, as Debian wants them.
foreach(page IN LISTS man_pages)
    if(NOT EXISTS "${PREFIX}/share/man/man1/${page}.1.gz" AND
       NOT EXISTS "${PREFIX}/share/man/man1/${page}.1")
        message(FATAL_ERROR "not installed: the manual page ${page}.1")
    endif()
endforeach()
if(NOT EXISTS "${PREFIX}/share/doc/korvane/changelog.gz" AND
   NOT EXISTS "${PREFIX}/share/doc/korvane/changelog")
    message(FATAL_ERROR "not installed: the changelog share/doc/korvane/changelog.gz")
endif()

execute_process(COMMAND "${PREFIX}/bin/korvane-convert" --version
                RESULT_VARIABLE result OUTPUT_VARIABLE version)
if(NOT result EQUAL 0 OR NOT version MATCHES "Ver([0-9.]+)")
    message(FATAL_ERROR "the installed korvane-convert does not run: ${version}")
endif()
set(version "${CMAKE_MATCH_1}")

# The release that the changelog's latest entry and the AppStream data name
# is the version the program says it is.
file(STRINGS "${SOURCE_DIR}/CHANGELOG" latest LIMIT_COUNT 1)
if(NOT latest MATCHES "^korvane \\(${version}\\) ")
    message(FATAL_ERROR "CHANGELOG begins with \"${latest}\", not with version ${version}")
endif()
file(READ "${PREFIX}/share/metainfo/io.github.korvane.korvane.metainfo.xml" metainfo)
if(NOT metainfo MATCHES "<releases>[ \t\n]*<release version=\"([^\"]*)\"" OR
   NOT CMAKE_MATCH_1 STREQUAL version)
    message(FATAL_ERROR "the metainfo's newest release is \"${CMAKE_MATCH_1}\", "
                        "not version ${version}")
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

# What a software centre shows: the catalogue that appstreamcli compose makes
# from the install has a Japanese description beside each English one (the
# program's and each release's), paragraph for paragraph.
find_program(GZIP gzip)
if(APPSTREAMCLI AND GZIP AND EXISTS /usr/libexec/appstreamcli-compose)
    set(catalogue "${PREFIX}-catalogue")
    file(REMOVE_RECURSE "${catalogue}")
    execute_process(COMMAND ${APPSTREAMCLI} compose --no-net --prefix=/ --origin=korvane
                            --result-root=${catalogue} "${PREFIX}"
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    file(GLOB_RECURSE composed "${catalogue}/*/korvane.xml.gz")
    if(NOT result EQUAL 0 OR NOT composed)
        message(FATAL_ERROR "appstreamcli compose makes no catalogue:\n${output}")
    endif()
    execute_process(COMMAND ${GZIP} -dc ${composed} OUTPUT_VARIABLE rest)
    file(REMOVE_RECURSE "${catalogue}")
    set(english "")
    set(japanese "")
    while(TRUE)
        string(FIND "${rest}" "<description" start)
        if(start EQUAL -1)
            break()
        endif()
        string(SUBSTRING "${rest}" ${start} -1 rest)
        string(FIND "${rest}" "</description>" end)
        string(SUBSTRING "${rest}" 0 ${end} block)
        string(SUBSTRING "${rest}" ${end} -1 rest)
        string(REGEX MATCHALL "<p>" paragraphs "${block}")
        list(LENGTH paragraphs count)
        if(block MATCHES "^<description xml:lang=\"ja\">")
            list(APPEND japanese ${count})
        elseif(block MATCHES "^<description>")
            list(APPEND english ${count})
        endif()
    endwhile()
    if(NOT english OR NOT english STREQUAL japanese)
        message(FATAL_ERROR "the catalogue's descriptions are not all in Japanese: paragraphs "
                            "in English ${english}, in Japanese ${japanese}")
    endif()
endif()

# The uninstall removes every file the install wrote and the program's own
# folders; the shared folders above them may stay.
execute_process(COMMAND ${CMAKE_COMMAND} -DMANIFEST=${BUILD_DIR}/install_manifest_korvane.txt
                        -P "${SOURCE_DIR}/scripts/uninstall.cmake"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the uninstall failed")
endif()
file(GLOB_RECURSE left RELATIVE "${PREFIX}" "${PREFIX}/*")
foreach(folder share/korvane share/doc/korvane)
    if(EXISTS "${PREFIX}/${folder}")
        list(APPEND left "${folder}/")
    endif()
endforeach()
if(left)
    message(FATAL_ERROR "left behind by the uninstall: ${left}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
