# Compares the options a manual page describes with those the program's
# --help prints: an option added to one and forgotten in the other fails.
# The page's options are the heads of its tagged paragraphs (.TP) under
# OPTIONS; the program's are every word of its usage that looks like one.
#
#   cmake -DPROGRAM=<program> -DPAGE=<page.1> -DWORK_DIR=<scratch> [-DMAY_SKIP=ON]
#         -P tests/install/check-man-options.cmake
#
# With MAY_SKIP a program that prints no usage (it opens its window instead,
# or fails) skips the comparison: the output then says "SKIPPED:".
cmake_minimum_required(VERSION 3.25)

# Options are "--word", "-x" and the Windows-style switches "/h" and "/t",
# standing alone: "to-html" and "/usr/share" are none.
set(option_pattern "(--?[A-Za-z][A-Za-z0-9-]*|/[a-z])")

function(options_in text out)
    # Brackets would keep CMake from splitting the list of matches; they
    # stand between words like blanks.
    string(REPLACE "[" " " text "${text}")
    string(REPLACE "]" " " text "${text}")
    # One blank either side makes the first and last words stand alone too;
    # the separators are doubled, as each match takes the one after it.
    string(REGEX REPLACE "([ \t\n|,()'\"])" "\\1\\1" text " ${text} ")
    string(REGEX MATCHALL "[ \t\n|,('\"]${option_pattern}[ \t\n|,)'\"=.:]" found "${text}")
    set(options "")
    foreach(word IN LISTS found)
        string(REGEX REPLACE "^.(.*).$" "\\1" word "${word}")
        list(APPEND options "${word}")
    endforeach()
    list(REMOVE_DUPLICATES options)
    list(SORT options)
    set(${out} "${options}" PARENT_SCOPE)
endfunction()

# The page: the line after each .TP in the OPTIONS section, without roff's
# escapes and font macros.
file(STRINGS "${PAGE}" lines ENCODING UTF-8)
set(in_options FALSE)
set(head_next FALSE)
set(heads "")
foreach(line IN LISTS lines)
    if(line MATCHES "^\\.SH")
        set(in_options FALSE)
        if(line MATCHES "^\\.SH +\"?OPTIONS\"?$")
            set(in_options TRUE)
        endif()
    elseif(in_options AND line MATCHES "^\\.TP")
        set(head_next TRUE)
    elseif(head_next)
        set(head_next FALSE)
        string(REPLACE "\\-" "-" line "${line}")
        string(REGEX REPLACE "\\\\f[BIRP]" "" line "${line}")
        string(REGEX REPLACE "^\\.[A-Z]+ " "" line "${line}")
        string(REPLACE "\"" " " line "${line}")
        string(APPEND heads " ${line}")
    endif()
endforeach()
options_in("${heads}" page_options)
if(NOT page_options)
    message(FATAL_ERROR "${PAGE} describes no options under OPTIONS")
endif()

# The program, with a scratch home (the editor writes its settings there)
# and no display; a program that opens a window is stopped after 10 s.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(ENV{KORVANE_HOME} "${WORK_DIR}")
set(ENV{QT_QPA_PLATFORM} offscreen)
execute_process(COMMAND "${PROGRAM}" --help
                WORKING_DIRECTORY "${WORK_DIR}"
                TIMEOUT 10
                RESULT_VARIABLE result
                OUTPUT_VARIABLE usage
                ERROR_VARIABLE errors)
file(REMOVE_RECURSE "${WORK_DIR}")
options_in("${usage}" program_options)
get_filename_component(name "${PROGRAM}" NAME)
if(NOT result STREQUAL "0" OR NOT program_options)
    set(why "${name} --help prints no usage (status: ${result}) ${errors}")
    if(MAY_SKIP)
        message("SKIPPED: ${why}")
        return()
    endif()
    message(FATAL_ERROR "${why}")
endif()

set(only_page "${page_options}")
list(REMOVE_ITEM only_page ${program_options})
set(only_program "${program_options}")
list(REMOVE_ITEM only_program ${page_options})
if(only_page OR only_program)
    message(FATAL_ERROR "${PAGE} and ${name} --help differ:\n"
                        "  only on the page: ${only_page}\n"
                        "  only in --help: ${only_program}")
endif()
message("${name}: the page and --help both list ${page_options}")
