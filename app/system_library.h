#pragma once
#include <windows.h>

// Loads a DLL from System32 only. The installer runs elevated from a Downloads folder,
// so a planted copy beside the exe must never be picked up. shell32 is reached this way
// too: a statically imported DLL is resolved before the first statement runs, with the
// exe's folder first in the search order, and so are the DLLs it imports in turn (on
// Windows most of them are KnownDLLs; under Wine shell32 pulls shcore from beside the exe).
inline HMODULE LoadSystemLibrary(const wchar_t* name) noexcept {
    return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// A function of a System32 DLL, or null when the DLL or the function is missing.
template <typename Function> Function GetSystemProc(const wchar_t* library, const char* name) noexcept {
    HMODULE module = LoadSystemLibrary(library);
    if (!module) {
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
