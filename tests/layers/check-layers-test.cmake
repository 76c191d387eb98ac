# The layer check against trees of its own: a tree that keeps the layers
# passes, and every way of including from a layer above is caught.
#
#   cmake -DSOURCE_DIR=<repository> -DWORK_DIR=<scratch folder> -P check-layers-test.cmake
cmake_minimum_required(VERSION 3.25)
set(check "${SOURCE_DIR}/scripts/check-layers.cmake")

function(make_tree dir base_include)
    file(REMOVE_RECURSE "${dir}")
    foreach(folder base platform editor convert edit tags app tests)
        file(WRITE "${dir}/${folder}/x.h" "#pragma once\n")
    endforeach()
    file(WRITE "${dir}/editor/y.cpp"
         "#include \"editor/x.h\"\n#include \"platform/x.h\"\n#include <QWidget>\n#include \"x.h\"\n")
    file(WRITE "${dir}/app/y.cpp" "#include <tags/x.h>\n#include \"../edit/x.h\"\n")
    file(WRITE "${dir}/base/y.cpp" "${base_include}\n")
endfunction()

function(expect_check dir should_pass what)
    execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${dir} -P ${check}
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE error)
    if(should_pass AND NOT result EQUAL 0)
        message(FATAL_ERROR "${what}: refused a tree that keeps the layers:\n${error}")
    elseif(NOT should_pass AND result EQUAL 0)
        message(FATAL_ERROR "${what}: let an include from above through")
    endif()
endfunction()

make_tree("${WORK_DIR}/good" "#include <string>")
expect_check("${WORK_DIR}/good" TRUE "plain includes")

foreach(bad IN ITEMS "#include \"app/x.h\"" "#include <app/x.h>" "#include \"../app/x.h\""
                     "#include \"base/../app/x.h\"" "#  include   \"editor/x.h\""
                     "#include \"../tests/x.h\"" "#include \"./../platform/x.h\"")
    make_tree("${WORK_DIR}/bad" "${bad}")
    expect_check("${WORK_DIR}/bad" FALSE "${bad}")
endforeach()

# The two folders of one layer stay out of each other.
make_tree("${WORK_DIR}/sideways" "")
file(WRITE "${WORK_DIR}/sideways/edit/z.cpp" "#include \"convert/x.h\"\n")
expect_check("${WORK_DIR}/sideways" FALSE "edit including convert")
file(REMOVE_RECURSE "${WORK_DIR}")
