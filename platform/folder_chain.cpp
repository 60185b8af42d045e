#include "platform/folder_chain.h"

#include <windows.h>

#include "platform/file_system.h"
#include "platform/link_rule.h"
#include "platform/path.h"
#include "platform/relative_open.h"

// What closes which window between checking a folder and writing or deleting in it:
// - Below the chain's start each folder is opened as itself, relative to the handle of the one
//   above, so a link is seen and refused rather than followed, no folder name is resolved
//   again, and the check is made on the very handle that is then kept. Each must also resolve to the canonical path of
//   the folder above it joined with its name, and an exact start to its own canonical path: a folder above the start
//   swapped for a link then resolves elsewhere and is refused.
// - The handle does not share delete: while it is open nobody can rename the folder away and
//   put a link in its place, or delete it, so the path keeps naming the folder checked. NTFS
//   also refuses to rename a folder while anything below it is open, which pins the folders
//   above the chain's start.
// - It asks for FILE_LIST_DIRECTORY: Windows (and Wine) keep to the sharing of an open only
//   when it has data or delete access; with attribute access alone renaming would stay free.
// - A missing folder is made by the same open that then holds it, inside the one held above.
// - A folder made into a mount point while it is empty (an attacker needs only attribute access
//   on a handle of their own for that) changes nothing for the run: what is made or opened in
//   it is opened relative to the handle held here, which goes on naming the folder itself, so
//   no name below it is resolved through the mount point.
// The files in the held folders are opened and checked one by one (platform/checked_files.h).
namespace {

constexpr DWORD FolderAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES;
constexpr DWORD FolderSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;

HANDLE OpenFolder(const std::wstring& path, bool itself) noexcept {
    return CreateFileW(path.c_str(), FolderAccess, FolderSharing, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | (itself ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr);
}

// No link, and resolving to the canonical path `expected`. On Windows a link's own tag
// tells it; Wine opens what a link leads to, which then resolves elsewhere. Without
// `expected`, what the path finally names. A file where the folder goes is no folder.
FolderHold HoldAt(FolderChain& chain, HANDLE folder, const std::wstring& path, const std::wstring& expected) noexcept {
    if (folder == INVALID_HANDLE_VALUE) {
        return IsNotFound(GetLastError()) ? FolderHold::NoFolder : FolderHold::Refused;
    }
    DWORD attributes = 0;
    DWORD tag = 0;
    FolderHold hold = FolderHold::Refused;
    if (ReadAttributesOf(folder, attributes, tag) && !IsLinkEntry(attributes, tag) &&
        (expected.empty() || SamePathIgnoringCase(CanonicalPathOf(folder), expected))) {
        hold = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FolderHold::Held : FolderHold::NoFolder;
    }
    if (hold == FolderHold::Held) {
        try {
            chain.folders.push_back({folder, path, expected.empty() ? CanonicalPathOf(folder) : expected});
            return hold;
        } catch (...) {
            hold = FolderHold::Refused;
        }
    }
    CloseHandle(folder);
    return hold;
}

} // namespace

FolderChain::~FolderChain() {
    ReleaseFolders(*this, 0);
}

// Windows may answer a share root named without its final separator (\\nas\ETS2) as not
// there, so a folder not found is asked for once more with one.
FolderHold HoldFolder(FolderChain& chain, const std::wstring& path, bool exact) noexcept {
    try {
        const std::wstring expected = exact ? path : std::wstring();
        FolderHold hold = HoldAt(chain, OpenFolder(path, exact), path, expected);
        if (hold == FolderHold::NoFolder && !path.empty() && path.back() != L'\\' && path.back() != L'/') {
            hold = HoldAt(chain, OpenFolder(path + L'\\', exact), path, expected);
        }
        return hold;
    } catch (...) {
        return FolderHold::Refused;
    }
}

FolderHold HoldFoldersBelow(FolderChain& chain, std::wstring_view relative, bool create) noexcept {
    if (chain.folders.empty()) {
        return FolderHold::Refused;
    }
    try {
        // Each folder held resolved to the path it was looked for at, and a held folder cannot be
        // renamed: the next one's expected path extends it, with no further question to the system.
        for (std::wstring_view name : SplitPath(relative).elements) {
            const HeldFolder& above = chain.folders.back();
            const std::wstring path = JoinPath(above.path, name);
            const std::wstring expected = JoinPath(above.canonical, name);
            HANDLE folder = OpenInFolder(
                above.handle, name,
                {FolderAccess, FolderSharing, create ? ULONG{FILE_OPEN_IF} : ULONG{FILE_OPEN}, FILE_DIRECTORY_FILE});
            const FolderHold hold = HoldAt(chain, folder, path, expected);
            if (hold != FolderHold::Held) {
                return hold;
            }
        }
        return FolderHold::Held;
    } catch (...) {
        return FolderHold::Refused;
    }
}

void ReleaseFolders(FolderChain& chain, std::size_t depth) noexcept {
    while (chain.folders.size() > depth) {
        CloseHandle(chain.folders.back().handle);
        chain.folders.pop_back();
    }
}
