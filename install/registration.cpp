#include "install/registration.h"

#include <shlobj.h>

#include <string_view>

#include "app/game_entry.h"
#include "app/product.h"
#include "app/product_files.h"
#include "install/restart_queue.h"
#include "platform/checked_files.h"
#include "platform/file_removal.h"
#include "platform/file_system.h"
#include "platform/folder_chain.h"
#include "platform/path.h"
#include "platform/system_library.h"

namespace {

// Empty without a known folder: the copy has no place of its own then, and no entry is
// written for a copy that is not there.
std::wstring InstallerCopyPath() noexcept {
    PWSTR folder = nullptr;
    auto getKnownFolder =
        GetSystemProc<decltype(&SHGetKnownFolderPath)>(SystemLibrary::Shell32, "SHGetKnownFolderPath");
    if (getKnownFolder) {
        getKnownFolder(FOLDERID_LocalAppData, 0, nullptr, &folder);
    }
    std::wstring copy;
    try {
        if (folder && *folder) {
            copy = JoinPath(folder, InstallerCopyFolderName, InstallerCopyFileName);
        }
    } catch (...) {
        copy.clear();
    }
    CoTaskMemFree(folder);
    return copy;
}

// The byte count includes the terminating null, as the list of installed programs
// expects of a REG_SZ.
void SetRegistryString(HKEY key, const wchar_t* name, const wchar_t* text) noexcept {
    const DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
}

void SetRegistryDword(HKEY key, const wchar_t* name, DWORD value) noexcept {
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

// The version is kept as 8-bit text beside the wide one; it is plain ASCII, so widening
// character by character is exact.
std::wstring Widen(std::string_view text) {
    return std::wstring(text.begin(), text.end());
}

constexpr wchar_t SessionManagerKey[] = L"System\\CurrentControlSet\\Control\\Session Manager";

// One queue value without the deletions of the copy and its folder. A value of another type,
// or one that cannot be read as pairs, is not ours to rewrite. Left without pairs it goes, as
// Windows removes it once it has run, so that nothing reads as a pending restart.
void KeepInstallerCopyIn(HKEY key, const wchar_t* value, const std::wstring& copy) {
    std::wstring queue;
    DWORD type = 0;
    DWORD bytes = 0;
    LSTATUS status = ERROR_MORE_DATA;
    while (status == ERROR_MORE_DATA) {
        queue.resize(bytes / sizeof(wchar_t) + 1);
        bytes = static_cast<DWORD>(queue.size() * sizeof(wchar_t));
        status = RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(queue.data()), &bytes);
    }
    if (status != ERROR_SUCCESS || type != REG_MULTI_SZ || bytes % sizeof(wchar_t) != 0) {
        return;
    }
    queue.resize(bytes / sizeof(wchar_t));
    std::wstring kept;
    if (!WithoutDeletionsOf(queue, copy, ParentPath(copy), SamePathIgnoringCase, kept)) {
        return;
    }
    if (kept.find_first_not_of(L'\0') == std::wstring::npos) {
        RegDeleteValueW(key, value);
    } else {
        RegSetValueExW(key, value, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                       static_cast<DWORD>(kept.size() * sizeof(wchar_t)));
    }
}

// An uninstall queued the copy and its folder for deletion at the next restart. Installed
// again before that restart, the fresh copy would go at boot and leave the entry pointing
// at nothing, so those two deletions are taken back from both values Windows records them
// in. Every other queued operation stays as it was. The installer runs elevated, which lets
// it write the machine's queue.
void KeepInstallerCopyAtRestart(const std::wstring& copy) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, SessionManagerKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    try {
        for (const wchar_t* value : {L"PendingFileRenameOperations", L"PendingFileRenameOperations2"}) {
            KeepInstallerCopyIn(key, value, copy);
        }
    } catch (...) {
    }
    RegCloseKey(key);
}

// The copy's folder lies in the user's own folder, where that user can put a link: the copy
// is written only into a real folder held open meanwhile, and through a handle checked like
// every file the run writes (platform/checked_files.h). A link at the folder is removed as a
// link where the system can (a Windows program under Wine cannot remove a Linux symlink); a
// link or a file that stays means no copy, and so no entry. Deletions queued for the restart
// are taken back first in any case, as they would run through such a link. An install
// started from the copy itself must not copy the file onto itself; when identity cannot be
// established the copy is attempted, replacing an older one. The old copy is deleted first:
// the installer usually runs from Downloads, and an older copy may carry the download mark
// (the Zone.Identifier stream) that brings up a security warning when Windows starts it for
// removal. A file written afresh has no such stream.
bool CopyInstaller(const std::wstring& copy) {
    const std::wstring local = ParentPath(ParentPath(copy));
    CreateFolders(local);
    KeepInstallerCopyAtRestart(copy);
    FolderChain chain;
    if (HoldFolder(chain, local, false) != FolderHold::Held) {
        return false;
    }
    FolderHold hold = HoldFoldersBelow(chain, InstallerCopyFolderName, true);
    if (hold == FolderHold::Refused && RemoveFileIn(chain.folders.back(), InstallerCopyFolderName) == Removal::Gone) {
        hold = HoldFoldersBelow(chain, InstallerCopyFolderName, true);
    }
    if (hold != FolderHold::Held) {
        return false;
    }
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    return SameFile(own, copy) || (RemoveFileIn(chain.folders.back(), InstallerCopyFileName) == Removal::Gone &&
                                   CopyFileIn(chain.folders.back(), InstallerCopyFileName, own));
}

// The running copy cannot delete itself; Windows removes the file at the next restart,
// and the folder after it, once it is empty.
void ScheduleInstallerCopyRemoval() noexcept {
    try {
        const std::wstring copy = InstallerCopyPath();
        if (!copy.empty()) {
            QueueRemovalAtRestart(copy, false);
            QueueRemovalAtRestart(ParentPath(copy), true);
        }
    } catch (...) {
    }
}

} // namespace

void RegisterUninstallEntry() noexcept {
    try {
        const std::wstring copy = InstallerCopyPath();
        if (copy.empty() || !CopyInstaller(copy)) {
            return;
        }
        const std::wstring version = Widen(InstallerVersionNarrow);
        const std::wstring uninstallCommand = L"\"" + copy + L"\" /uninstall";

        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, UninstallKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                            nullptr, &key, nullptr) != ERROR_SUCCESS) {
            return;
        }
        SetRegistryString(key, L"DisplayName", L"Kestrovane");
        SetRegistryString(key, L"DisplayVersion", version.c_str());
        SetRegistryString(key, L"Publisher", L"Brasvell");
        SetRegistryString(key, L"URLInfoAbout", ProductWebAddress);
        SetRegistryString(key, L"DisplayIcon", copy.c_str());
        SetRegistryString(key, L"UninstallString", uninstallCommand.c_str());
        SetRegistryDword(key, L"NoModify", 1);
        SetRegistryDword(key, L"NoRepair", 1);
        RegCloseKey(key);
    } catch (...) {
    }
}

void UnregisterUninstallEntry() noexcept {
    RegDeleteTreeW(HKEY_CURRENT_USER, UninstallKeyPath);
    ScheduleInstallerCopyRemoval();
}
