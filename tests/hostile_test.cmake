# Installs into hostile game folders: the payload resources are linked into the test.
kv_add_test(hostile_test ${CMAKE_SOURCE_DIR}/res/payload.rc)
target_include_directories(hostile_test PRIVATE ${KV_PAYLOAD_DIR})
target_compile_definitions(hostile_test PRIVATE "KV_PAYLOAD_DIR=L\"Z:${KV_PAYLOAD_DIR}\"")
add_dependencies(hostile_test kv_payload)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/payload.rc TARGET_DIRECTORY hostile_test PROPERTIES
    OBJECT_DEPENDS "${KV_PAYLOAD_FILES}")
