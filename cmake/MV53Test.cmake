# mv53_add_test(<name> SOURCES <files...> LIBS <targets...> [GUI] [TIMEOUT <s>] [LABELS <l...>])
#
# Builds one test executable and registers it with CTest. Every test gets a time-out (a check
# failing inside a queued lambda must not hang the run). GUI tests run on the offscreen platform.
# Tests using GoogleTest link GTest::gtest_main unless they bring their own main (NO_GTEST_MAIN).
find_package(GTest QUIET)
# Debian ships GoogleTest's sources too: a cross-build (mingw-w64) compiles them for its target.
if(NOT GTest_FOUND AND EXISTS /usr/src/googletest/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest's own sources are not held to this project's warning flags.
  set_target_properties(gtest gtest_main PROPERTIES COMPILE_OPTIONS "-w")
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endif()

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
  # The backups that radio tests make stay in the build folder, never in the user's data folder.
  set(env "MV53_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data" "MV53_DATA_DIR=${CMAKE_BINARY_DIR}/test-data")
  if(T_GUI OR T_QTEST)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  if(MV53_SANITIZE)
    list(APPEND env "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0" "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
                    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan.supp")
  endif()
  if(MV53_TSAN)
    # ThreadSanitizer makes a test 5 to 10 times slower, more on a loaded machine.
    math(EXPR T_TIMEOUT "${T_TIMEOUT} * 5")
    # Qt is not built with ThreadSanitizer: what its own code allocates, frees or copies is not
    # taken for an access (its locks and thread pool hand such memory over out of the
    # sanitizer's sight), while every access our code makes is still checked, Qt's locks and
    # threads still order them, and no report is hidden because a stack passes through Qt.
    # The suppression file names what is left inside Qt alone. Child processes the tests start
    # (mv53, radiosim) read the same options.
    list(APPEND env "TSAN_OPTIONS=ignore_noninstrumented_modules=1:suppressions=${PROJECT_SOURCE_DIR}/tests/support/tsan-qt.supp")
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}" ENVIRONMENT "${env}")
endfunction()
