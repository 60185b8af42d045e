#include "platform/system_library.h"

#include <iterator>

namespace {

constexpr const wchar_t* LibraryNames[] = {L"user32.dll",  L"shell32.dll", L"shcore.dll",  L"dwmapi.dll",
                                           L"version.dll", L"oleacc.dll",  L"oleaut32.dll"};
static_assert(std::size(LibraryNames) == static_cast<size_t>(SystemLibrary::Count));

// The loader's handles, kept for the life of the process: a DLL is never freed, so each
// one is asked for once instead of on every lookup (the version functions are needed for
// every game found). This belongs to the process, not to the installer's state record.
HMODULE loaded[static_cast<size_t>(SystemLibrary::Count)] = {};

} // namespace

HMODULE LoadSystemLibrary(SystemLibrary library) noexcept {
    HMODULE& module = loaded[static_cast<size_t>(library)];
    if (!module) {
        module = LoadLibraryExW(LibraryNames[static_cast<size_t>(library)], nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    return module;
}
