# What a cross build takes from the build machine instead of find_package:
# Debian packages the header-only libraries for the host only, and GoogleTest
# as source (package googletest), which is built here with the cross compiler.

# Only the libraries' own folders are put on the include path: the build
# machine's /usr/include holds its C library, which must not shadow MinGW's.
set(BLADEWAY_HEADER_ONLY_DIR ${CMAKE_BINARY_DIR}/header-only)
file(MAKE_DIRECTORY ${BLADEWAY_HEADER_ONLY_DIR})
foreach(folder CLI nlohmann)
    if(NOT EXISTS /usr/include/${folder})
        message(FATAL_ERROR "/usr/include/${folder} is missing: install libcli11-dev and nlohmann-json3-dev")
    endif()
    file(CREATE_LINK /usr/include/${folder} ${BLADEWAY_HEADER_ONLY_DIR}/${folder} SYMBOLIC)
endforeach()
# xxHash is one header, used inline (XXH_INLINE_ALL): nothing to link.
if(NOT EXISTS /usr/include/xxhash.h)
    message(FATAL_ERROR "/usr/include/xxhash.h is missing: install libxxhash-dev")
endif()
file(CREATE_LINK /usr/include/xxhash.h ${BLADEWAY_HEADER_ONLY_DIR}/xxhash.h SYMBOLIC)
add_library(bladeway_xxhash INTERFACE IMPORTED GLOBAL)
target_include_directories(bladeway_xxhash SYSTEM INTERFACE ${BLADEWAY_HEADER_ONLY_DIR})
add_library(CLI11::CLI11 INTERFACE IMPORTED GLOBAL)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${BLADEWAY_HEADER_ONLY_DIR})
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE
                           ${BLADEWAY_HEADER_ONLY_DIR})

if(BLADEWAY_BUILD_TESTS)
    set(BLADEWAY_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source tree")
    if(NOT EXISTS ${BLADEWAY_GOOGLETEST_SOURCE}/CMakeLists.txt)
        message(FATAL_ERROR "${BLADEWAY_GOOGLETEST_SOURCE} is missing: install googletest")
    endif()
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${BLADEWAY_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# The programs run under Wine in a prefix of this build tree, quietly; the
# prefix is made at configure time so that the first test listing does not
# pay for it (Mono and Gecko are not wanted, so no installer is asked for).
if(CMAKE_CROSSCOMPILING_EMULATOR)
    set(BLADEWAY_WINE_ENVIRONMENT WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=-all
                                  WINEDLLOVERRIDES=mscoree,mshtml=)
    # Through files: the desktop process a test starts outlives it, holding its output.
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/run-under-wine.sh env
                                      ${BLADEWAY_WINE_ENVIRONMENT} ${CMAKE_CROSSCOMPILING_EMULATOR})
    if(NOT EXISTS ${CMAKE_BINARY_DIR}/wineprefix/system.reg)
        message(STATUS "Making the Wine prefix ${CMAKE_BINARY_DIR}/wineprefix")
        execute_process(COMMAND env ${BLADEWAY_WINE_ENVIRONMENT} wineboot --init
                        RESULT_VARIABLE wineboot_result OUTPUT_QUIET ERROR_QUIET)
        execute_process(COMMAND env ${BLADEWAY_WINE_ENVIRONMENT} wineserver --wait)
    endif()
    # The desktop program's tests make real windows: Wine's null graphics
    # driver gives them a screen without a display.
    set(wine_user_settings "")
    if(EXISTS ${CMAKE_BINARY_DIR}/wineprefix/user.reg)
        file(READ ${CMAKE_BINARY_DIR}/wineprefix/user.reg wine_user_settings)
    endif()
    if(NOT wine_user_settings MATCHES "\"Graphics\"=\"null\"")
        message(STATUS "Wine prefix: the null graphics driver")
        execute_process(COMMAND env ${BLADEWAY_WINE_ENVIRONMENT} ${BLADEWAY_WINE} reg add
                                "HKCU\\Software\\Wine\\Drivers" /v Graphics /d null /f
                        OUTPUT_QUIET ERROR_QUIET)
        execute_process(COMMAND env ${BLADEWAY_WINE_ENVIRONMENT} wineserver --wait)
    endif()
endif()

# Google Benchmark: Debian has it for the build machine only; the Windows
# stage builds it for MinGW-w64 from Debian's source package
# (scripts/lib/mingw-benchmark.sh) and names its prefix in CMAKE_PREFIX_PATH.
# Packages are looked for below the MinGW root only, so the prefix is made a
# root as well.
if(BLADEWAY_BUILD_BENCH)
    list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})
endif()
