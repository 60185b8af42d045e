include(${CMAKE_CURRENT_LIST_DIR}/discovery_fixture.cmake)
kv_add_test(platform_test)
kv_use_link_fixture(platform_test)
