#pragma once
#include <windows.h>

// The DLLs whose functions are looked up at run time rather than imported.
enum class SystemLibrary { User32, Shell32, Shcore, Dwmapi, Version, Oleacc, Oleaut32, Count };

// Loads a DLL from System32 only, once per process. The installer runs elevated from a
// Downloads folder, so a planted copy beside the exe must never be picked up. shell32 is
// reached this way too: a statically imported DLL is resolved before the first statement
// runs, with the exe's folder first in the search order, and so are the DLLs it imports in
// turn (on Windows most of them are KnownDLLs; under Wine shell32 pulls shcore from beside
// the exe). user32 is imported; it is listed so that functions newer than the oldest
// supported system are looked up the same way.
HMODULE LoadSystemLibrary(SystemLibrary library) noexcept;

// A function of a System32 DLL typed by the SDK's own declaration, for example
// GetSystemProc<decltype(&GetFileVersionInfoW)>(SystemLibrary::Version, "GetFileVersionInfoW");
// null when the DLL or the function is missing.
template <typename Function> Function GetSystemProc(SystemLibrary library, const char* name) noexcept {
    HMODULE module = LoadSystemLibrary(library);
    if (!module) {
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
