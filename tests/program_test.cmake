kv_add_test(program_test SERIAL)
target_compile_definitions(program_test PRIVATE "KV_INSTALLER_EXE=L\"Z:$<TARGET_FILE:Kestrovane-Setup>\"")
add_dependencies(program_test Kestrovane-Setup)
