# The modules that need no Windows header. They are part of the Windows build and are also
# built natively, where their unit tests run under AddressSanitizer and UndefinedBehaviorSanitizer
# and the parsers are fuzzed.
set(KV_PURE_SOURCES
    app/startup.cpp
    discovery/library_line.cpp
    discovery/library_path.cpp
    discovery/plugin_status.cpp
    ui/layout.cpp
    ui/text.cpp)
if(EXISTS ${CMAKE_SOURCE_DIR}/ui/screen_text.cpp)
    list(APPEND KV_PURE_SOURCES ui/screen_text.cpp)
endif()

# Unit tests (tests/<name>.cpp) that include only platform-free headers.
set(KV_PURE_TESTS startup_test text_test)
foreach(_candidate layout_test screen_text_test plugin_status_test discovery_library_path_test)
    if(EXISTS ${CMAKE_SOURCE_DIR}/tests/${_candidate}.cpp)
        list(APPEND KV_PURE_TESTS ${_candidate})
    endif()
endforeach()

# Fuzz targets (tests/fuzz/<name>.cpp with a seed corpus in tests/fuzz/corpus/<name>/).
set(KV_FUZZ_TARGETS library_line version_number)
