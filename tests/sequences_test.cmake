# The install sequence extracts the payload from its own module: link the resources in.
kv_add_test(sequences_test ${CMAKE_SOURCE_DIR}/res/payload.rc)
target_include_directories(sequences_test PRIVATE ${KV_PAYLOAD_DIR})
target_compile_definitions(sequences_test PRIVATE "KV_PAYLOAD_DIR=L\"Z:${KV_PAYLOAD_DIR}\"")
add_dependencies(sequences_test kv_payload)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/payload.rc TARGET_DIRECTORY sequences_test PROPERTIES
    OBJECT_DEPENDS "${KV_PAYLOAD_FILES}")
