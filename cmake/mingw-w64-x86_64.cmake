# Cross build for 64-bit Windows with Debian's MinGW-w64 (the POSIX thread
# flavour, which std::thread and std::mutex need). The programs link their C
# and C++ runtimes statically so that they run from any folder, on Windows as
# under Wine, with no DLL beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(BLADEWAY_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${BLADEWAY_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BLADEWAY_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${BLADEWAY_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BLADEWAY_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run (and list their tests at build time) under Wine; without
# it the programs still build.
find_program(BLADEWAY_WINE NAMES wine wine64)
if(BLADEWAY_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${BLADEWAY_WINE})
endif()
