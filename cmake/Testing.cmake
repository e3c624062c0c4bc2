# Helpers that give every test the same environment, so nobody has to remember it.
find_package(GTest REQUIRED)
include(GoogleTest)

set(TARVELIN_TEST_DATA_DIR "${PROJECT_SOURCE_DIR}/tests/data")

# Compile options for the test programs' own sources only; the code under test and the test
# support libraries keep the build's options. The ci preset compiles the test sources without
# optimisation: they hold checks, not work, and -O2 doubled their share of the build.
set(TARVELIN_TEST_CODE_OPTIONS "" CACHE STRING "Extra compile options of the test programs' sources")

# The test framework's headers take much of a test file's compile time. With clang, each kind of
# test program reuses one precompiled copy of them, made by an object library with the test
# programs' options and an empty source; clang refuses a copy whose options differ. (GCC loads its
# copies whole, which here costs as much as parsing the headers.) Qt demands position-independent
# code, so the test programs that share a copy are all compiled that way.
set(TARVELIN_TEST_HEADERS_PRECOMPILED OFF)
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(TARVELIN_TEST_HEADERS_PRECOMPILED ON)
endif()

# tarvelin_test_headers(NAME HEADERS ... LIBS ...): the precompiled headers of one kind of test.
function(tarvelin_test_headers name)
  cmake_parse_arguments(ARG "" "" "HEADERS;LIBS" ${ARGN})
  if(NOT TARVELIN_TEST_HEADERS_PRECOMPILED)
    return()
  endif()
  set(source "${CMAKE_CURRENT_BINARY_DIR}/${name}.cpp")
  file(CONFIGURE OUTPUT "${source}" CONTENT "// The precompiled headers of ${name}.\n")
  add_library(${name} OBJECT "${source}")
  target_compile_options(${name} PRIVATE -fPIC ${TARVELIN_TEST_CODE_OPTIONS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tarvelin_warnings)
  target_compile_definitions(${name} PRIVATE TARVELIN_TEST_DATA_DIR="${TARVELIN_TEST_DATA_DIR}")
  target_precompile_headers(${name} PRIVATE ${ARG_HEADERS})
endfunction()

# Compiles test program NAME with the precompiled headers HEADERS, if there are any.
function(tarvelin_use_test_headers name headers)
  target_compile_options(${name} PRIVATE ${TARVELIN_TEST_CODE_OPTIONS})
  if(TARVELIN_TEST_HEADERS_PRECOMPILED)
    target_compile_options(${name} PRIVATE -fPIC)
    target_precompile_headers(${name} REUSE_FROM ${headers})
  endif()
endfunction()

tarvelin_test_headers(tarvelin_unit_test_headers
  HEADERS <gtest/gtest.h> <filesystem> <fstream> <string> <vector>
  LIBS GTest::gtest)

# tarvelin_unit_test(NAME SOURCES ... LIBS ...): a GoogleTest program registered with CTest.
function(tarvelin_unit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  tarvelin_use_test_headers(${name} tarvelin_unit_test_headers)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main tarvelin_warnings)
  target_compile_definitions(${name} PRIVATE TARVELIN_TEST_DATA_DIR="${TARVELIN_TEST_DATA_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "unit;${ARG_LABELS}"
                       ENVIRONMENT "LC_ALL=C.UTF-8")
endfunction()

# tarvelin_widget_test(NAME SOURCES ... LIBS ...): a Qt Test program on the offscreen platform
# with a fixed locale.
function(tarvelin_widget_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  tarvelin_use_test_headers(${name} tarvelin_widget_test_headers)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test tarvelin_warnings)
  target_compile_definitions(${name} PRIVATE TARVELIN_TEST_DATA_DIR="${TARVELIN_TEST_DATA_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS "widget;${ARG_LABELS}"
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=de_DE.UTF-8;LC_ALL=;QT_FONT_DPI=96")
endfunction()
