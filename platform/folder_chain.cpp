#include "platform/folder_chain.h"

#include <windows.h>

#include "platform/file_system.h"
#include "platform/link_rule.h"
#include "platform/path.h"

// What closes which window between checking a folder and writing or deleting in it:
// - Below the chain's start each folder is opened as itself (FILE_FLAG_OPEN_REPARSE_POINT),
//   so a link is seen and refused rather than followed, and checked on the very handle that
//   is then kept. Each must also resolve to the canonical path of the folder above it joined
//   with its name, and an exact start to its own canonical path: a folder above the start
//   swapped for a link then resolves elsewhere and is refused.
// - The handle does not share delete: while it is open nobody can rename the folder away and
//   put a link in its place, or delete it, so the path keeps naming the folder checked. NTFS
//   also refuses to rename a folder while anything below it is open, which pins the folders
//   above the chain's start.
// - It asks for FILE_LIST_DIRECTORY: Windows (and Wine) keep to the sharing of an open only
//   when it has data or delete access; with attribute access alone renaming would stay free.
// - A missing folder is made inside the one held above it and then opened and checked like
//   any other, so one swapped in between is refused.
// What stays open: the files themselves. A standard user can make neither a symbolic link
// to a file nor a hard link to one that user cannot write, and RedirectionGuard (set at start)
// stops junctions that such a user made wherever the system has it. Folders below the chain
// are removed by RemoveTree, which never descends into a link.
namespace {

HANDLE OpenFolder(const std::wstring& path, bool itself) noexcept {
    return CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | (itself ? FILE_FLAG_OPEN_REPARSE_POINT : 0),
                       nullptr);
}

// No link, and resolving to the canonical path `expected`. On Windows a link's own tag
// tells it; Wine opens what a link leads to, which then resolves elsewhere. Without
// `expected`, what the path finally names.
FolderHold HoldAt(FolderChain& chain, const std::wstring& path, const std::wstring& expected) noexcept {
    HANDLE folder = OpenFolder(path, !expected.empty());
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
            chain.handles.push_back(folder);
            chain.path = path;
            return hold;
        } catch (...) {
            hold = FolderHold::Refused;
        }
    }
    CloseHandle(folder);
    return hold;
}

// The entry itself, never what it leads to: a search reports the last element as it is.
bool FindEntry(const std::wstring& path, WIN32_FIND_DATAW& found) noexcept {
    HANDLE search = FindFirstFileExW(path.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    return true;
}

} // namespace

FolderChain::~FolderChain() {
    ReleaseFolders(*this, 0);
}

// Windows may answer a share root named without its final separator (\\nas\ETS2) as not
// there, so a folder not found is asked for once more with one.
FolderHold HoldFolder(FolderChain& chain, const std::wstring& path, bool exact) noexcept {
    try {
        FolderHold hold = HoldAt(chain, path, exact ? path : std::wstring());
        if (hold == FolderHold::NoFolder && !path.empty() && path.back() != L'\\' && path.back() != L'/') {
            hold = HoldAt(chain, path + L'\\', exact ? path : std::wstring());
        }
        return hold;
    } catch (...) {
        return FolderHold::Refused;
    }
}

FolderHold HoldFoldersBelow(FolderChain& chain, std::wstring_view relative, bool create) noexcept {
    if (chain.handles.empty()) {
        return FolderHold::Refused;
    }
    try {
        // Each folder held resolved to the path it was looked for at, and a held folder cannot be
        // renamed: the next one's expected path extends it, with no further question to the system.
        std::wstring expected = CanonicalPathOf(chain.handles.back());
        for (std::wstring_view name : SplitPath(relative).elements) {
            const std::wstring path = JoinPath(chain.path, name);
            expected = JoinPath(expected, name);
            FolderHold hold = HoldAt(chain, path, expected);
            if (hold == FolderHold::NoFolder && create) {
                CreateDirectoryW(path.c_str(), nullptr);
                hold = HoldAt(chain, path, expected);
            }
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
    while (chain.handles.size() > depth) {
        CloseHandle(chain.handles.back());
        chain.handles.pop_back();
        try {
            chain.path = ParentPath(chain.path);
        } catch (...) {
            chain.path.clear();
        }
    }
}

bool IsLinkAt(const std::wstring& path) noexcept {
    WIN32_FIND_DATAW found;
    return FindEntry(path, found) && IsLinkEntry(found.dwFileAttributes, found.dwReserved0);
}

// RemoveDirectoryW and DeleteFileW both remove a link itself; which one goes by the kind of
// link (to a folder or to a file).
bool RemoveLinkAt(const std::wstring& path) noexcept {
    WIN32_FIND_DATAW found;
    if (!FindEntry(path, found) || !IsLinkEntry(found.dwFileAttributes, found.dwReserved0)) {
        return true;
    }
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryW(path.c_str());
    } else {
        DeleteFileW(path.c_str());
    }
    return !IsLinkAt(path);
}
