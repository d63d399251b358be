# vantora_add_test(NAME <name> LABEL <unit|ui|integration> SOURCES ... LIBRARIES ... [ENVIRONMENT ...])
# One GoogleTest executable; its cases are discovered when ctest runs, so a build never
# executes test code.
function(vantora_add_test)
  cmake_parse_arguments(T "" "NAME;LABEL" "SOURCES;LIBRARIES;ENVIRONMENT" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBRARIES} GTest::gtest GTest::gmock)
  target_compile_definitions(${T_NAME} PRIVATE QT_FORCE_ASSERTS)
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      LABELS "${T_LABEL}"
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1;${T_ENVIRONMENT}"
      TIMEOUT 120)
endfunction()
