#include "discovery/steam_libraries.h"

#include <windows.h>

#include <string>

#include "app/product_files.h"
#include "app/state.h"
#include "discovery/game_folder.h"
#include "discovery/library_file.h"
#include "platform/path.h"

namespace {

constexpr size_t LongestWindowsPath = 32767;

// 520 wide characters with the terminating zero. A longer value, one of another type or
// any other failure reads as empty; REG_EXPAND_SZ comes back expanded.
std::wstring ReadRegistryText(HKEY root, const wchar_t* subkey, const wchar_t* value) {
    wchar_t buffer[520] = {};
    DWORD size = sizeof(buffer);
    if (RegGetValueW(root, subkey, value, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
        return {};
    }
    buffer[520 - 1] = L'\0';
    return buffer;
}

std::wstring FindSteamFolder() {
    std::wstring text = ReadRegistryText(HKEY_CURRENT_USER, L"Software\\Valve\\Steam", L"SteamPath");
    if (text.empty()) {
        text = ReadRegistryText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\Valve\\Steam", L"InstallPath");
    }
    return text;
}

} // namespace

std::vector<std::wstring> FindSteamLibraries() noexcept {
    std::vector<std::wstring> libraries;
    try {
        const std::wstring steamText = FindSteamFolder();
        if (steamText.empty()) {
            return libraries;
        }
        libraries.push_back(NormalPath(steamText));
        const std::wstring libraryFile = JoinPath(libraries.front(), L"steamapps", L"libraryfolders.vdf");
        for (const std::wstring& value : ReadLibraryFolderPaths(libraryFile)) {
            // No folder has a path longer than the wide file functions accept. Such a
            // value only comes from a damaged file whose quotes span megabytes, and each
            // path join on it would cost seconds before the window shows.
            if (value.size() > LongestWindowsPath) {
                continue;
            }
            std::wstring library = NormalPath(value);
            bool known = false;
            // Libraries are told apart element by element: the same root name, both or
            // neither with a root separator, the same elements as exact (case-sensitive)
            // text, a trailing separator counting as one. Both sides are in the normal form,
            // one backslash between elements and a root name in one spelling, where equal
            // elements mean equal text; so the text is compared instead of splitting both
            // paths again for each of the n^2/2 pairs.
            for (const std::wstring& other : libraries) {
                if (library == other) {
                    known = true;
                    break;
                }
            }
            if (!known) {
                libraries.push_back(std::move(library));
            }
        }
    } catch (...) {
        // Only allocation can throw here; a partial list is still a useful one.
    }
    return libraries;
}

void DiscoverGames() noexcept {
    try {
        for (const std::wstring& library : FindSteamLibraries()) {
            for (const GameKind& kind : GameKinds) {
                GameEntry entry;
                if (!ScanGameFolder(GameFolderPath(library, kind), entry)) {
                    continue;
                }
                // Libraries are told apart by text, so one folder can arrive through two
                // spellings or a link; the file system decides whether it is the same game.
                AppendUnlessListed(std::move(entry));
            }
        }
    } catch (...) {
        // Allocation failure at start-up: go on with the games found so far.
    }
}
