#include "discovery/game_folder.h"

#include <windows.h>

#include <charconv>
#include <string>
#include <vector>

#include "app/product_files.h"
#include "app/state.h"
#include "platform/file_system.h"
#include "platform/path.h"
#include "platform/system_library.h"

bool ScanGameFolder(const std::wstring& candidate, GameEntry& entry) noexcept {
    try {
        // Most libraries hold neither game. When the folder of the executables is reported as
        // not there, neither executable is: one lookup instead of one per executable, which is
        // what discovery costs with many libraries. The candidate itself is not asked: Windows
        // reports a share root chosen by hand (\\nas\ETS2) as not found, whatever it holds.
        if (IsMissing(JoinPath(candidate, GameBinaryFolder))) {
            return false;
        }
        // Any kind of entry counts, a folder or a link included.
        const GameKind* found = nullptr;
        for (const GameKind& kind : GameKinds) {
            if (Exists(JoinPath(candidate, GameBinaryFolder, kind.exeName))) {
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
        std::wstring canonical = CanonicalPath(candidate);
        scanned.folder = canonical.empty() ? candidate : std::move(canonical);
        const std::wstring plugins = PluginFolderPath(scanned.folder);
        const std::wstring plugin = JoinPath(plugins, PluginFileName);
        scanned.pluginPresent = Exists(plugin);
        scanned.installedVersion = scanned.pluginPresent ? ReadPluginVersion(plugin) : std::wstring();
        scanned.oldPluginPresent = Exists(JoinPath(plugins, PredecessorFileName));
        entry = std::move(scanned);
        return true;
    } catch (...) {
        // Only allocation throws here; the entry has not been touched.
        return false;
    }
}

namespace {

// Integer formatting without the C runtime's printf family, which the exe does not
// otherwise need.
void AppendNumber(std::wstring& text, unsigned value) {
    char digits[16];
    const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text.append(static_cast<const char*>(digits), end);
}

} // namespace

// version.dll is no KnownDLL: a copy planted beside the elevated exe would win the
// import search, so it is taken from System32 by hand.
std::wstring ReadPluginVersion(const std::wstring& file) noexcept {
    auto getSize = GetSystemProc<decltype(&GetFileVersionInfoSizeW)>(SystemLibrary::Version, "GetFileVersionInfoSizeW");
    auto getInfo = GetSystemProc<decltype(&GetFileVersionInfoW)>(SystemLibrary::Version, "GetFileVersionInfoW");
    auto query = GetSystemProc<decltype(&VerQueryValueW)>(SystemLibrary::Version, "VerQueryValueW");
    if (!getSize || !getInfo || !query) {
        return {};
    }
    try {
        DWORD handle = 0;
        const DWORD size = getSize(file.c_str(), &handle);
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
        std::wstring version;
        AppendNumber(version, HIWORD(fixed->dwProductVersionMS));
        version += L'.';
        AppendNumber(version, LOWORD(fixed->dwProductVersionMS));
        version += L'.';
        AppendNumber(version, HIWORD(fixed->dwProductVersionLS));
        return version;
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
        if (SameFile(game.folder, entry.folder)) {
            return false;
        }
    }
    state.games.push_back(std::move(entry));
    return true;
}
