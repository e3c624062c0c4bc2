# Helpers that give every test the same environment, so nobody has to remember it.
find_package(GTest REQUIRED)
include(GoogleTest)

set(TARVELIN_TEST_DATA_DIR "${PROJECT_SOURCE_DIR}/tests/data")

# Compile options for the test programs' own sources only; the code under test and the test
# support libraries keep the build's options. The ci preset compiles the test sources without
# optimisation: they hold checks, not work, and -O2 doubled their share of the build.
set(TARVELIN_TEST_CODE_OPTIONS "" CACHE STRING "Extra compile options of the test programs' sources")

# tarvelin_unit_test(NAME SOURCES ... LIBS ...): a GoogleTest program registered with CTest.
function(tarvelin_unit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${TARVELIN_TEST_CODE_OPTIONS})
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
  target_compile_options(${name} PRIVATE ${TARVELIN_TEST_CODE_OPTIONS})
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
