#include "platform/file_removal.h"

#include <windows.h>

#include "platform/file_system.h"

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

// Closes the search on every way out of the walk, an allocation failure included.
struct FindHandle {
    HANDLE handle;
    ~FindHandle() {
        if (handle != INVALID_HANDLE_VALUE) {
            FindClose(handle);
        }
    }
};

// Depth first, and on past a failure so that as much as possible goes. Only real
// folders are descended into: a link or junction (a reparse point) is removed as an
// entry of its own.
void RemoveTreeEntry(const std::wstring& path, DWORD attributes) {
    const bool realFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (realFolder) {
        WIN32_FIND_DATAW found;
        FindHandle search{
            FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0)};
        if (search.handle != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name != L"." && name != L"..") {
                    RemoveTreeEntry(path + L"\\" + name, found.dwFileAttributes);
                }
            } while (FindNextFileW(search.handle, &found));
        }
    }
    RemoveEntry(path.c_str(), attributes);
}

} // namespace

bool RemoveFile(const std::wstring& path) noexcept {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return IsNotFound(GetLastError());
    }
    return RemoveEntry(path.c_str(), attributes);
}

void RemoveTree(const std::wstring& path) noexcept {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    try {
        std::wstring root = path;
        while (root.size() > 1 && (root.back() == L'\\' || root.back() == L'/')) {
            root.pop_back();
        }
        RemoveTreeEntry(root, attributes);
    } catch (...) {
        // Out of memory deep in a tree: what was removed so far stays removed.
    }
}
