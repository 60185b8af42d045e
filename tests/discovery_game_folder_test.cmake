kv_add_test(discovery_game_folder_test)
add_dependencies(discovery_game_folder_test kv_testdata)
target_compile_definitions(discovery_game_folder_test PRIVATE "KV_TESTDATA_DIR=L\"Z:${KV_TESTDATA_DIR}\"")
