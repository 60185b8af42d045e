# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread model).
# The -posix compilers are named explicitly: installing the win32 variant silently
# re-points the unsuffixed names to it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_triplet x86_64-w64-mingw32)

foreach(_tool C:gcc-posix CXX:g++-posix RC:windres)
    string(REPLACE ":" ";" _pair "${_tool}")
    list(GET _pair 0 _lang)
    list(GET _pair 1 _name)
    find_program(_found_${_lang} NAMES ${_triplet}-${_name})
    if(NOT _found_${_lang})
        message(FATAL_ERROR "${_triplet}-${_name} not found: apt-get install g++-mingw-w64-x86-64-posix "
                            "binutils-mingw-w64-x86-64 (or run tools/setup-debian.sh)")
    endif()
    set(CMAKE_${_lang}_COMPILER "${_found_${_lang}}")
endforeach()

find_program(KV_OBJDUMP NAMES ${_triplet}-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/${_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests and helper programs run under Wine.
find_program(KV_WINE NAMES wine)
if(KV_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${KV_WINE}")
endif()
