# Warnings every target of the project is built with.
add_library(bladeway_warnings INTERFACE)
target_compile_options(bladeway_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Wnull-dereference
    -Wimplicit-fallthrough)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(bladeway_warnings INTERFACE -Wduplicated-cond -Wlogical-op)
endif()
# GCC 12 at -O2 warns of overlapping copies inside std::string's own
# operator+ (GCC bug 105329), about code that has none.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(bladeway_warnings INTERFACE -Wno-restrict)
endif()
