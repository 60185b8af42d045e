# Native Linux build of the modules that need no Windows header: their unit tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, and libFuzzer targets (clang only).
include(${CMAKE_SOURCE_DIR}/cmake/pure-modules.cmake)

set(KV_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_compile_options(-Wall -Wextra -g ${KV_SANITIZE})
add_link_options(${KV_SANITIZE})

list(TRANSFORM KV_PURE_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
add_library(kv_pure STATIC ${KV_PURE_SOURCES})
target_include_directories(kv_pure PUBLIC ${CMAKE_SOURCE_DIR} ${KV_GENERATED_DIR})

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

enable_testing()
foreach(_test ${KV_PURE_TESTS})
    add_executable(native_${_test} ${CMAKE_SOURCE_DIR}/tests/${_test}.cpp)
    target_link_libraries(native_${_test} PRIVATE kv_pure GTest::gtest_main)
    add_test(NAME native.${_test} COMMAND native_${_test})
endforeach()

if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    foreach(_target ${KV_FUZZ_TARGETS})
        add_executable(fuzz_${_target} ${CMAKE_SOURCE_DIR}/tests/fuzz/${_target}.cpp)
        target_link_libraries(fuzz_${_target} PRIVATE kv_pure)
        target_compile_options(fuzz_${_target} PRIVATE -fsanitize=fuzzer)
        target_link_options(fuzz_${_target} PRIVATE -fsanitize=fuzzer)
    endforeach()
endif()
