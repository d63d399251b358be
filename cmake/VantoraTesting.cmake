# Tests keep Qt's assertions in every build type. A Debug build has them anyway and goes without
# the macro, so that its tests can share the precompiled headers, which are made without it.
function(vantora_force_asserts target)
  target_compile_definitions(${target} PRIVATE $<$<NOT:$<CONFIG:Debug>>:QT_FORCE_ASSERTS>)
endfunction()

# vantora_add_test(NAME <name> LABEL <unit|ui|integration> SOURCES ... LIBRARIES ... [ENVIRONMENT ...])
# One GoogleTest executable; its cases are discovered when ctest runs, so a build never
# executes test code.
function(vantora_add_test)
  cmake_parse_arguments(T "" "NAME;LABEL" "SOURCES;LIBRARIES;ENVIRONMENT" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBRARIES} GTest::gtest GTest::gmock)
  vantora_force_asserts(${T_NAME})
  # The environment reaches the binary through a launcher, for listing the cases as well as
  # running them. (As a test property it would be a list inside gtest_discover_tests' property
  # list, which keeps only its first entry.)
  set_property(TARGET ${T_NAME} PROPERTY CROSSCOMPILING_EMULATOR
    ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
    ${T_ENVIRONMENT})
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      LABELS "${T_LABEL}"
      TIMEOUT 120)
endfunction()

# vantora_add_service_test(NAME <name> LABEL <label> SCRIPT <script> TARGET <gtest target> [ARGS ...])
# An integration test whose services (a private D-Bus with gnome-keyring, Xvfb, avahi-daemon
# in a network namespace) are started by SCRIPT, which then runs the test binary given as its
# first argument and stops the services afterwards. A script that finds its service cannot
# run on this machine exits 77, which CTest reports as skipped.
function(vantora_add_service_test)
  cmake_parse_arguments(T "" "NAME;LABEL;SCRIPT;TARGET" "ARGS" ${ARGN})
  add_test(NAME ${T_NAME} COMMAND bash ${T_SCRIPT} $<TARGET_FILE:${T_TARGET}> ${T_ARGS})
  set_tests_properties(${T_NAME} PROPERTIES
    LABELS "${T_LABEL}"
    SKIP_RETURN_CODE 77
    TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1")
endfunction()

# vantora_add_benchmark(NAME <name> SOURCES ... LIBRARIES ...): a Google Benchmark program,
# built by the `bench` target.
function(vantora_add_benchmark)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${B_NAME} EXCLUDE_FROM_ALL ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBRARIES} benchmark::benchmark)
  target_include_directories(${B_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/bench)
  add_dependencies(bench ${B_NAME})
endfunction()

# Adds every direct subfolder of the current source folder that has a CMakeLists.txt, so
# areas can be added side by side without editing their parent.
function(vantora_add_child_folders)
  file(GLOB children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(child IN LISTS children)
    if(EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# vantora_add_gallery(NAME <name> SOURCES ... LIBRARIES ... [ENVIRONMENT ...]): a program that
# renders widgets to PNGs under <build>/gallery for people to look at. It is a tool, not a
# test: ctest does not count it; the `gallery` target runs every one (scripts/test does).
add_custom_target(gallery)
function(vantora_add_gallery)
  cmake_parse_arguments(G "" "NAME" "SOURCES;LIBRARIES;ENVIRONMENT" ${ARGN})
  add_executable(${G_NAME} ${G_SOURCES})
  target_link_libraries(${G_NAME} PRIVATE ${G_LIBRARIES} GTest::gtest GTest::gmock)
  add_custom_target(run_${G_NAME}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 ${G_ENVIRONMENT}
      $<TARGET_FILE:${G_NAME}> --gtest_brief=1
    DEPENDS ${G_NAME}
    VERBATIM)
  add_dependencies(gallery run_${G_NAME})
endfunction()
