#include "discovery/game_folder.h"

#include <windows.h>

#include <string>
#include <system_error>
#include <vector>

#include "app/state.h"
#include "app/system_library.h"
#include "discovery/file_system.h"

namespace {

using GetFileVersionInfoSizeWFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using GetFileVersionInfoWFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using VerQueryValueWFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

// Any kind of entry counts, a folder or a link included; an error other than "not
// found" (access denied, a bad name) also reads as absent.
bool PathExists(const std::filesystem::path& path) noexcept {
    std::error_code ec;
    bool found = std::filesystem::exists(path, ec);
    return found && !ec;
}

} // namespace

bool ScanGameFolder(const std::filesystem::path& candidate, GameEntry& entry) noexcept {
    try {
        // Most libraries hold neither game. When the candidate folder itself is not there,
        // nothing below it is either: one lookup instead of one per executable, which is
        // what discovery costs with many libraries. not_found is reported only for a path
        // that does not exist; any other outcome (an error included) takes the full test.
        std::error_code ec;
        if (std::filesystem::status(candidate, ec).type() == std::filesystem::file_type::not_found) {
            return false;
        }
        const GameKind* found = nullptr;
        for (const GameKind& kind : GameKinds) {
            if (PathExists(candidate / L"bin" / L"win_x64" / kind.exeName)) {
                found = &kind;
                break;
            }
        }
        if (!found) {
            return false;
        }
        GameEntry scanned = entry;
        scanned.displayName = found->displayName;
        scanned.exeName = found->exeName;
        std::filesystem::path canonical = CanonicalPath(candidate, ec);
        scanned.folder = ec ? candidate.wstring() : canonical.wstring();
        std::filesystem::path plugins = PluginFolderPath(scanned);
        std::filesystem::path plugin = plugins / L"Kestrovane.dll";
        scanned.pluginPresent = PathExists(plugin);
        scanned.installedVersion = scanned.pluginPresent ? ReadPluginVersion(plugin) : std::wstring();
        scanned.oldPluginPresent = PathExists(plugins / L"Quillon.dll");
        entry = std::move(scanned);
        return true;
    } catch (...) {
        // Only allocation throws here; the entry has not been touched.
        return false;
    }
}

std::filesystem::path PluginFolderPath(const GameEntry& entry) {
    return std::filesystem::path(entry.folder) / L"bin" / L"win_x64" / L"plugins";
}

std::wstring ReadPluginVersion(const std::filesystem::path& file) noexcept {
    // version.dll is no KnownDLL: a copy planted beside the elevated exe would win the
    // import search, so it is taken from System32 by hand.
    auto getSize = GetSystemProc<GetFileVersionInfoSizeWFn>(L"version.dll", "GetFileVersionInfoSizeW");
    auto getInfo = GetSystemProc<GetFileVersionInfoWFn>(L"version.dll", "GetFileVersionInfoW");
    auto query = GetSystemProc<VerQueryValueWFn>(L"version.dll", "VerQueryValueW");
    if (!getSize || !getInfo || !query) {
        return {};
    }
    try {
        DWORD handle = 0;
        DWORD size = getSize(file.c_str(), &handle);
        if (size == 0) {
            return {};
        }
        std::vector<BYTE> data(size);
        if (!getInfo(file.c_str(), 0, size, data.data())) {
            return {};
        }
        void* block = nullptr;
        UINT blockSize = 0;
        if (!query(data.data(), L"\\", &block, &blockSize) || !block) {
            return {};
        }
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(block);
        return std::to_wstring(HIWORD(fixed->dwProductVersionMS)) + L"." +
               std::to_wstring(LOWORD(fixed->dwProductVersionMS)) + L"." +
               std::to_wstring(HIWORD(fixed->dwProductVersionLS));
    } catch (...) {
        return {};
    }
}

TextId ButtonLabelId() noexcept {
    return ButtonLabelIdFor(state.games);
}

bool AppendUnlessListed(GameEntry&& entry) {
    // Compared against every entry in list order; the first match decides.
    for (const GameEntry& game : state.games) {
        if (SameFileSystemObject(game.folder, entry.folder)) {
            return false;
        }
    }
    state.games.push_back(std::move(entry));
    return true;
}
