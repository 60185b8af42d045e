#include "platform/file_removal.h"

#include <windows.h>

#include "platform/file_system.h"
#include "platform/link_rule.h"

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

bool IsLink(const WIN32_FIND_DATAW& found) noexcept {
    return IsLinkEntry(found.dwFileAttributes, found.dwReserved0);
}

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
void RemoveTreeEntry(const std::wstring& path, const WIN32_FIND_DATAW& entry) {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsLink(entry)) {
        WIN32_FIND_DATAW found;
        FindHandle search{
            FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0)};
        if (search.handle != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name != L"." && name != L"..") {
                    RemoveTreeEntry(path + L"\\" + name, found);
                }
            } while (FindNextFileW(search.handle, &found));
        }
    }
    RemoveEntry(path.c_str(), entry.dwFileAttributes);
}

} // namespace

bool RemoveFile(const std::wstring& path) noexcept {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return IsNotFound(GetLastError());
    }
    return RemoveEntry(path.c_str(), attributes);
}

// The root's own find data, like every entry's below it, tells a link from a folder.
void RemoveTree(const std::wstring& path) noexcept {
    try {
        std::wstring root = path;
        while (root.size() > 1 && (root.back() == L'\\' || root.back() == L'/')) {
            root.pop_back();
        }
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileExW(root.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
        if (search == INVALID_HANDLE_VALUE) {
            return;
        }
        FindClose(search);
        RemoveTreeEntry(root, entry);
    } catch (...) {
        // Out of memory deep in a tree: what was removed so far stays removed.
    }
}
