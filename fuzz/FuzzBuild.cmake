# Instruments the whole build for the libFuzzer targets in fuzz/ when VORN_FUZZ is on.
# Included by the top-level CMakeLists.txt before any target is made, so that the tester's
# own code carries the coverage counters and the address and undefined-behaviour checks.
option(VORN_FUZZ "Build the libFuzzer targets in fuzz/ (needs Clang)" OFF)
if(VORN_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "VORN_FUZZ needs Clang: configure with -DCMAKE_CXX_COMPILER=clang++ "
                            "or the fuzz preset")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
                        -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
