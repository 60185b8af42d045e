# The install rounds extract the payload from the test's own module: link the resources in.
kv_add_test(leak_test ${CMAKE_SOURCE_DIR}/res/payload.rc)
target_include_directories(leak_test PRIVATE ${KV_PAYLOAD_DIR})
target_compile_definitions(leak_test PRIVATE "KV_PAYLOAD_DIR=L\"Z:${KV_PAYLOAD_DIR}\"")
add_dependencies(leak_test kv_payload)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/payload.rc TARGET_DIRECTORY leak_test PROPERTIES
    OBJECT_DEPENDS "${KV_PAYLOAD_FILES}")
