# The payload resources are linked into the test itself, so that extraction reads the
# same bytes that the build staged.
kv_add_test(payload_test ${CMAKE_SOURCE_DIR}/res/payload.rc)
target_include_directories(payload_test PRIVATE ${KV_PAYLOAD_DIR})
target_compile_definitions(payload_test PRIVATE "KV_PAYLOAD_DIR=L\"Z:${KV_PAYLOAD_DIR}\"")
add_dependencies(payload_test kv_payload)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/payload.rc TARGET_DIRECTORY payload_test PROPERTIES
    OBJECT_DEPENDS "${KV_PAYLOAD_FILES}")
