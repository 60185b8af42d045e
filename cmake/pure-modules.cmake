# The modules that need no Windows header. They are part of the Windows build and are also
# built natively, where their unit tests run under AddressSanitizer and UndefinedBehaviorSanitizer
# and the parsers are fuzzed.
set(KV_PURE_SOURCES
    app/startup.cpp
    install/restart_queue.cpp
    discovery/library_line.cpp
    discovery/plugin_status.cpp
    platform/path.cpp
    ui/elements.cpp
    ui/layout.cpp
    ui/screen_text.cpp
    ui/text.cpp)

# Unit tests (tests/<name>.cpp) that include only platform-free headers.
set(KV_PURE_TESTS rules_test)

# Fuzz targets (tests/fuzz/<name>.cpp with a seed corpus in tests/fuzz/corpus/<name>/).
set(KV_FUZZ_TARGETS library_line restart_queue)
