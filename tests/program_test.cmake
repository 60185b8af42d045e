kv_add_test(program_test SERIAL)
add_library(kv_planted_dll SHARED planted_dll.cpp)
set_target_properties(kv_planted_dll PROPERTIES PREFIX "")
target_compile_definitions(program_test PRIVATE
    "KV_INSTALLER_EXE=L\"Z:$<TARGET_FILE:Kestrovane-Setup>\""
    "KV_PLANTED_DLL=L\"Z:$<TARGET_FILE:kv_planted_dll>\"")
add_dependencies(program_test Kestrovane-Setup kv_planted_dll)
