# bladeway_add_test(NAME name [WINDOWS] SOURCES ... LIBS ...)
# One test executable per area, registered test by test with CTest.
# WINDOWS: its tests show windows that take the activation and the focus of
# the one desktop all test programs share (Wine's), so one of them runs at
# a time; the other tests run beside it.
if(NOT TARGET GTest::gtest)  # a cross build compiles its own (BladewayCrossDependencies)
    find_package(GTest REQUIRED)
endif()
include(GoogleTest)

function(bladeway_add_test)
    cmake_parse_arguments(ARG "WINDOWS" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} bladeway_test_support
                          GTest::gtest GTest::gtest_main bladeway_warnings)
    set_target_properties(${ARG_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    # Every test file reads GoogleTest's header, a second of compiling each
    # time: read once per test program.
    bladeway_precompile(${ARG_NAME} <gtest/gtest.h>)
    # A test's own code is compiled unoptimised, a third faster: what it
    # tests is the libraries, built as they ship.
    if(CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
        target_compile_options(${ARG_NAME} PRIVATE -O0)
    endif()
    # Runs made by tests keep their journals in the build tree, not the user's.
    set(properties ENVIRONMENT "BLADEWAY_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
                   ENVIRONMENT_MODIFICATION "XDG_STATE_HOME=set:${CMAKE_BINARY_DIR}/test-state")
    set(discovery_timeout 30)
    if(CMAKE_CROSSCOMPILING)
        # Under an emulator a hung test must not hold the run: each has a
        # minute; listing the tests may wait for a busy Wine server.
        list(APPEND properties TIMEOUT 60)
        set(discovery_timeout 120)
    endif()
    if(ARG_WINDOWS)
        list(APPEND properties RESOURCE_LOCK desktop)
    endif()
    gtest_discover_tests(${ARG_NAME} DISCOVERY_TIMEOUT ${discovery_timeout}
                         PROPERTIES ${properties})
endfunction()
