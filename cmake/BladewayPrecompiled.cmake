# bladeway_precompile(target header...)
# Headers that every file of `target` reads, compiled once for the target.
# ccache keeps such files too when it may trust the precompiled header
# (scripts/lib/common.sh sets its sloppiness) and sees the header's use.
function(bladeway_precompile target)
    target_precompile_headers(${target} PRIVATE ${ARGN})
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(${target} PRIVATE -fpch-preprocess)
    endif()
endfunction()
