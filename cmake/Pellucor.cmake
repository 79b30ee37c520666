# One helper per kind of target, so every folder builds the same way.

set(PELLUCOR_WARNINGS -Wall -Wextra)

# pellucor_add_library(<folder> [QT] [NAME n] SOURCES ... [DEPS ...])
#   Adds the static library pellucor_<folder> with alias Pellucor::<folder>
#   (pellucor_<n> and Pellucor::<n> when a folder holds several libraries).
#   QT turns on AUTOMOC; only folders that hold Qt windows should ask for it.
function(pellucor_add_library folder)
  cmake_parse_arguments(ARG "QT" "NAME" "SOURCES;DEPS" ${ARGN})
  set(name ${folder})
  if(ARG_NAME)
    set(name ${ARG_NAME})
  endif()
  set(target pellucor_${name})
  add_library(${target} STATIC ${ARG_SOURCES})
  add_library(Pellucor::${name} ALIAS ${target})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${target} PRIVATE ${PELLUCOR_WARNINGS})
  if(ARG_DEPS)
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  endif()
  if(ARG_QT)
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
  endif()
endfunction()

# pellucor_add_test(<folder> SOURCES ... [DEPS ...])
#   One GoogleTest executable per folder, registered with CTest and labelled by folder.
function(pellucor_add_test folder)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;DEPS" ${ARGN})
  set(target test_${folder})
  add_executable(${target} ${ARG_SOURCES})
  target_compile_options(${target} PRIVATE ${PELLUCOR_WARNINGS})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  # Made here so every suite may write into it, whichever runs first.
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/test-output)
  target_compile_definitions(${target} PRIVATE
    PELLUCOR_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    PELLUCOR_TEST_OUTPUT_DIR="${PROJECT_BINARY_DIR}/test-output")
  if(ARG_QT)
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
  endif()
  include(GoogleTest)
  gtest_discover_tests(${target}
    PROPERTIES LABELS ${folder} ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()

# pellucor_add_bench(<name> SOURCES ... [DEPS ...]): built, never run by the tests.
function(pellucor_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(bench_${name} ${ARG_SOURCES})
  target_compile_options(bench_${name} PRIVATE ${PELLUCOR_WARNINGS})
  target_link_libraries(bench_${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
endfunction()

# pellucor_forbid_qt(<name> DIR <folder> LABEL <label> [TOP_ONLY])
#   Adds the test <name>_has_no_qt: fails if any .h or .cpp under <folder>
#   (only the files directly in it with TOP_ONLY) includes a Qt header.
function(pellucor_forbid_qt name)
  cmake_parse_arguments(ARG "TOP_ONLY" "DIR;LABEL" "" ${ARGN})
  set(recurse ON)
  if(ARG_TOP_ONLY)
    set(recurse OFF)
  endif()
  add_test(NAME ${name}_has_no_qt
    COMMAND ${CMAKE_COMMAND} -DNAME=${name} -DDIR=${ARG_DIR} -DRECURSE=${recurse}
            -P ${PROJECT_SOURCE_DIR}/cmake/check_no_qt.cmake)
  set_tests_properties(${name}_has_no_qt PROPERTIES LABELS ${ARG_LABEL})
endfunction()
