# Linux symbolic links for the discovery tests: Windows code under Wine cannot create
# links, but it sees one made on the Linux side as a reparse point. Made at configure
# time in the build tree; the tests only read them, except the removal of "tree", which
# under Wine cannot delete the link inside it.
include_guard(GLOBAL)
set(KV_LINK_FIXTURE ${CMAKE_CURRENT_BINARY_DIR}/discovery-links)
set(_game "${KV_LINK_FIXTURE}/library/steamapps/common/Euro Truck Simulator 2")
file(MAKE_DIRECTORY "${_game}/bin/win_x64" "${KV_LINK_FIXTURE}/other/steamapps/common")
file(WRITE "${_game}/bin/win_x64/eurotrucks2.exe" "MZ")
# A whole library reached through a link, and one game folder linked into another library.
file(CREATE_LINK library ${KV_LINK_FIXTURE}/library-link SYMBOLIC)
file(CREATE_LINK "../../../library/steamapps/common/Euro Truck Simulator 2"
     "${KV_LINK_FIXTURE}/other/steamapps/common/Euro Truck Simulator 2" SYMBOLIC)
# A link whose target is missing, and a folder to remove that holds a link to the library.
file(CREATE_LINK missing ${KV_LINK_FIXTURE}/dangling SYMBOLIC)
file(MAKE_DIRECTORY ${KV_LINK_FIXTURE}/tree)
file(CREATE_LINK ../library ${KV_LINK_FIXTURE}/tree/linked SYMBOLIC)

function(kv_use_link_fixture target)
    target_compile_definitions(${target} PRIVATE "KV_LINK_FIXTURE=L\"Z:${KV_LINK_FIXTURE}\"")
endfunction()
