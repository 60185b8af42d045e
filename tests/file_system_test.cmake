include(${CMAKE_CURRENT_LIST_DIR}/discovery_fixture.cmake)
kv_add_test(file_system_test)
kv_use_link_fixture(file_system_test)
