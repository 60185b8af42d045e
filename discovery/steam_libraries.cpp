#include "discovery/steam_libraries.h"

#include <windows.h>

#include <string>

#include "app/state.h"
#include "discovery/file_system.h"
#include "discovery/game_folder.h"
#include "discovery/library_file.h"
#include "discovery/library_path.h"

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

std::vector<std::filesystem::path> FindSteamLibraries() noexcept {
    std::vector<std::filesystem::path> libraries;
    try {
        std::wstring steamText = FindSteamFolder();
        if (steamText.empty()) {
            return libraries;
        }
        std::vector<std::wstring> seen{NormalizeLibraryPath(steamText)};
        std::filesystem::path libraryFile = std::filesystem::path(seen.front()) / L"steamapps" / L"libraryfolders.vdf";
        for (const std::wstring& value : ReadLibraryFolderPaths(libraryFile)) {
            // No folder has a path longer than the wide file functions accept. Such a
            // value only comes from a damaged file whose quotes span megabytes, and each
            // path join on it would cost seconds before the window shows.
            if (value.size() > LongestWindowsPath) {
                continue;
            }
            std::wstring library = NormalizeLibraryPath(value);
            bool known = false;
            // Both sides are normalised: one backslash between elements, a root name in
            // one spelling. In that form equal elements mean equal text, so the plain text
            // comparison gives what SameLibraryPath would, without splitting both paths
            // again for each of the n^2/2 pairs (48 ms with 256 libraries under Wine).
            for (const std::wstring& other : seen) {
                if (library == other) {
                    known = true;
                    break;
                }
            }
            if (!known) {
                seen.push_back(std::move(library));
            }
        }
        libraries.assign(seen.begin(), seen.end());
    } catch (...) {
        // Only allocation can throw here; a partial list is still a useful one.
    }
    return libraries;
}

void DiscoverGames() noexcept {
    try {
        for (const std::filesystem::path& library : FindSteamLibraries()) {
            for (const GameKind& kind : GameKinds) {
                std::filesystem::path candidate = library / L"steamapps" / L"common" / kind.displayName;
                GameEntry entry;
                if (!ScanGameFolder(candidate, entry)) {
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
