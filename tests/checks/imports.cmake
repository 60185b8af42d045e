# The installer runs elevated: it may import only KnownDLLs (and the C runtime), which Windows always
# takes from System32, so that no DLL planted beside it is loaded in their place. The stand-in plug-in
# is loaded by the games and must not need anything a player's machine may lack.
if(NOT KV_OBJDUMP)
    find_program(KV_OBJDUMP NAMES x86_64-w64-mingw32-objdump)
endif()
if(NOT KV_OBJDUMP)
    message(FATAL_ERROR "x86_64-w64-mingw32-objdump not found: apt-get install binutils-mingw-w64-x86-64")
endif()

add_test(NAME Imports.InstallerImportsOnlyKnownDlls
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check_imports.sh ${KV_OBJDUMP} $<TARGET_FILE:Kestrovane-Setup>
                 kernel32 user32 gdi32 advapi32 shell32 ole32 msvcrt)
add_test(NAME Imports.PluginImportsOnlyKernelAndRuntime
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check_imports.sh ${KV_OBJDUMP} $<TARGET_FILE:kv_plugin>
                 kernel32 msvcrt)
