# Reads the resources of the built installer, so it needs the exe, the staged payload it was made
# from, and the stand-in plug-in (which it loads and calls).
kv_add_test(resources_test)
target_compile_definitions(resources_test PRIVATE
    "KV_SETUP_EXE=L\"Z:$<TARGET_FILE:Kestrovane-Setup>\""
    "KV_PAYLOAD_DIR=L\"Z:${KV_PAYLOAD_DIR}\""
    "KV_STAND_IN_PLUGIN=L\"Z:$<TARGET_FILE:kv_plugin>\"")
target_link_libraries(resources_test PRIVATE version)
add_dependencies(resources_test Kestrovane-Setup kv_plugin)
