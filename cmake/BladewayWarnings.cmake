# Warnings every target of the project is built with.
add_library(bladeway_warnings INTERFACE)
target_compile_options(bladeway_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Wnull-dereference
    -Wimplicit-fallthrough)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(bladeway_warnings INTERFACE -Wduplicated-cond -Wlogical-op)
endif()
