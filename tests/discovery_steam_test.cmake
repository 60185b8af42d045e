include(${CMAKE_CURRENT_LIST_DIR}/discovery_fixture.cmake)
kv_add_test(discovery_steam_test)
kv_use_link_fixture(discovery_steam_test)
