# mv53_add_test(<name> SOURCES <files...> LIBS <targets...> [GUI] [TIMEOUT <s>] [LABELS <l...>])
#
# Builds one test executable and registers it with CTest. Every test gets a time-out (a check
# failing inside a queued lambda must not hang the run). GUI tests run on the offscreen platform.
# Tests using GoogleTest link GTest::gtest_main unless they bring their own main (NO_GTEST_MAIN).
find_package(GTest QUIET)

function(mv53_add_test name)
  cmake_parse_arguments(T "GUI;QTEST;NO_GTEST_MAIN" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE ${T_LIBS})
  if(T_QTEST)
    target_link_libraries(${name} PRIVATE Qt6::Test)
  elseif(T_NO_GTEST_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set(env "MV53_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
  if(T_GUI OR T_QTEST)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  if(MV53_SANITIZE)
    list(APPEND env "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0" "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
                    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan.supp")
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}" ENVIRONMENT "${env}")
endfunction()
