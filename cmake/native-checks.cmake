# Builds the native half (cmake/native.cmake) as a sub-build with clang, and adds its tests
# and fuzz runs to this build's CTest. Commands given as paths are not run under Wine.
include(ExternalProject)
include(${CMAKE_SOURCE_DIR}/cmake/pure-modules.cmake)

find_program(KV_CLANGXX NAMES clang++)
if(NOT KV_CLANGXX)
    message(FATAL_ERROR "clang++ not found: apt-get install clang (or run tools/setup-debian.sh)")
endif()
set(KV_NATIVE_DIR ${CMAKE_BINARY_DIR}/native)
ExternalProject_Add(kv_native
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${KV_NATIVE_DIR}
    CMAKE_GENERATOR Ninja
    CMAKE_ARGS -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON)

foreach(_test ${KV_PURE_TESTS})
    add_test(NAME native.${_test} COMMAND ${KV_NATIVE_DIR}/native_${_test})
    set_tests_properties(native.${_test} PROPERTIES LABELS native)
endforeach()

set(KV_FUZZ_SECONDS 10 CACHE STRING "Seconds each fuzz target runs in the test command")
foreach(_target ${KV_FUZZ_TARGETS})
    set(_seeds ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${_target})
    set(_found ${CMAKE_BINARY_DIR}/fuzz-corpus/${_target})
    file(MAKE_DIRECTORY ${_found})
    # The saved corpus first, every input once, as regression inputs.
    add_test(NAME fuzz.${_target}.corpus COMMAND ${KV_NATIVE_DIR}/fuzz_${_target} -runs=0 ${_seeds})
    # Then a bounded run; new inputs go to the build tree, never into the sources.
    add_test(NAME fuzz.${_target}.run
             COMMAND ${KV_NATIVE_DIR}/fuzz_${_target} -max_total_time=${KV_FUZZ_SECONDS} -print_final_stats=1
                     -artifact_prefix=${CMAKE_BINARY_DIR}/fuzz-artifacts- ${_found} ${_seeds})
    set_tests_properties(fuzz.${_target}.corpus fuzz.${_target}.run PROPERTIES LABELS fuzz TIMEOUT 300)
endforeach()
