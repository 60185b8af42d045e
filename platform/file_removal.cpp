#include "platform/file_removal.h"

#include <windows.h>

#include "platform/file_system.h"
#include "platform/link_rule.h"
#include "platform/path.h"

namespace {

// Removes one entry whose attributes are known: a folder (or a link to one) with
// RemoveDirectoryW, which removes a link without following it; anything else with
// DeleteFileW. Windows refuses to delete a read-only entry, so the attribute is
// cleared first and put back when the deletion fails anyway.
bool RemoveEntry(const wchar_t* path, DWORD attributes) noexcept {
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    const bool removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(path) != 0 : DeleteFileW(path) != 0;
    if (!removed && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesW(path, attributes);
    }
    return removed;
}

static_assert(ReparsePointAttribute == FILE_ATTRIBUTE_REPARSE_POINT && SymbolicLinkTag == IO_REPARSE_TAG_SYMLINK &&
              JunctionTag == IO_REPARSE_TAG_MOUNT_POINT);

// Closes the search on every way out of the walk, an allocation failure included.
struct FindHandle {
    HANDLE handle;
    ~FindHandle() {
        if (handle != INVALID_HANDLE_VALUE) {
            FindClose(handle);
        }
    }
};

// Depth first, and on past a failure so that as much as possible goes. A link is removed
// as an entry of its own and never descended into.
void RemoveTreeEntry(const std::wstring& path, DWORD attributes, DWORD tag) {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !IsLinkEntry(attributes, tag)) {
        WIN32_FIND_DATAW found;
        FindHandle search{
            FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0)};
        if (search.handle != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name != L"." && name != L"..") {
                    // The find data carries the tag of a reparse point.
                    RemoveTreeEntry(path + L"\\" + name, found.dwFileAttributes, found.dwReserved0);
                }
            } while (FindNextFileW(search.handle, &found));
        }
    }
    RemoveEntry(path.c_str(), attributes);
}

// The attributes and reparse tag of the entry itself, never of what a link names. Opening the
// path answers for any name (a search would read * ? < > " as patterns) and for a root too.
bool ReadOwnKind(const std::wstring& path, DWORD& attributes, DWORD& tag) noexcept {
    HANDLE entry =
        CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (entry == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool ok = ReadAttributesOf(entry, attributes, tag);
    CloseHandle(entry);
    // Wine opens what a Linux symlink names even so, and answers for a plain folder; the
    // path's own attributes still carry the reparse point, with Wine's tag 0. On Windows
    // both answers come from the same entry.
    const DWORD own = GetFileAttributesW(path.c_str());
    if (ok && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) && own != INVALID_FILE_ATTRIBUTES &&
        (own & FILE_ATTRIBUTE_REPARSE_POINT)) {
        attributes = own;
        tag = 0;
    }
    return ok;
}

} // namespace

bool RemoveFile(const std::wstring& path) noexcept {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return IsGoneForRemoval(GetLastError());
    }
    return RemoveEntry(path.c_str(), attributes);
}

// A drive, share or volume root is never removed, whatever a caller asks.
void RemoveTree(const std::wstring& path) noexcept {
    try {
        if (IsVolumeRoot(path)) {
            return;
        }
        const std::wstring root = WithoutTrailingSeparators(path);
        DWORD attributes = 0;
        DWORD tag = 0;
        if (ReadOwnKind(root, attributes, tag)) {
            RemoveTreeEntry(root, attributes, tag);
        }
    } catch (...) {
        // Out of memory deep in a tree: what was removed so far stays removed.
    }
}
