# The Windows build: the installer, its payload and the tests that run under Wine.
enable_language(RC)

if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
    message(FATAL_ERROR "The installer is a 64-bit program: use cmake/mingw-w64-x86_64.cmake")
endif()

add_compile_definitions(UNICODE _UNICODE WINVER=0x0A00 _WIN32_WINNT=0x0A00 NOMINMAX)
add_compile_options(-Wall -Wextra
    # No build paths in the binaries: two clean builds in different folders match byte for byte.
    -ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
set(CMAKE_C_FLAGS_RELEASE "-Os -ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_RELEASE "-Os -ffunction-sections -fdata-sections")
# Static runtime: nothing from MinGW has to travel beside the exe. No link timestamp.
string(APPEND CMAKE_EXE_LINKER_FLAGS " -static -Wl,--no-insert-timestamp")
string(APPEND CMAKE_SHARED_LINKER_FLAGS " -static -Wl,--no-insert-timestamp")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE "-s -Wl,--gc-sections")
set(CMAKE_SHARED_LINKER_FLAGS_RELEASE "-s -Wl,--gc-sections")

file(GLOB KV_CORE_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/app/*.cpp
    ${CMAKE_SOURCE_DIR}/discovery/*.cpp
    ${CMAKE_SOURCE_DIR}/install/*.cpp
    ${CMAKE_SOURCE_DIR}/platform/*.cpp
    ${CMAKE_SOURCE_DIR}/ui/*.cpp)
list(REMOVE_ITEM KV_CORE_SOURCES ${CMAKE_SOURCE_DIR}/app/main.cpp)

add_library(kv_core STATIC ${KV_CORE_SOURCES})
target_include_directories(kv_core PUBLIC ${CMAKE_SOURCE_DIR} ${KV_GENERATED_DIR})
# Only KnownDLLs are imported; version, dwmapi, shcore, oleacc and oleaut32 are loaded from System32 at run time.
target_link_libraries(kv_core PUBLIC user32 gdi32 advapi32 shell32 ole32 uuid)

# The payload (plug-in library, sounds, icon) staged into ${KV_PAYLOAD_DIR}.
add_subdirectory(res)

add_executable(Kestrovane-Setup WIN32 app/main.cpp res/setup.rc)
target_link_libraries(Kestrovane-Setup PRIVATE kv_core)
target_link_options(Kestrovane-Setup PRIVATE -municode)
target_include_directories(Kestrovane-Setup PRIVATE ${KV_PAYLOAD_DIR})
set_source_files_properties(res/setup.rc PROPERTIES
    OBJECT_DEPENDS "${KV_PAYLOAD_FILES};${CMAKE_SOURCE_DIR}/res/setup.manifest;${CMAKE_SOURCE_DIR}/res/resource_ids.h")
add_dependencies(Kestrovane-Setup kv_payload)

if(KESTROVANE_BUILD_TESTS)
    enable_testing()
    add_subdirectory(tests)
endif()

# Programs that serve the screenshots and the benchmarks.
add_subdirectory(tools)
add_subdirectory(bench)

# The platform-free modules, built natively with clang under sanitizers, and their fuzzers;
# registered here so that one CTest run covers everything.
option(KESTROVANE_NATIVE_CHECKS "Build and run the native sanitizer tests and fuzzers" ON)
if(KESTROVANE_BUILD_TESTS AND KESTROVANE_NATIVE_CHECKS)
    include(cmake/native-checks.cmake)
endif()
