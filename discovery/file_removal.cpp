#include <windows.h>

#include <string>

#include "discovery/file_system.h"

namespace {

bool IsMissingPathError(DWORD error) noexcept {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME;
}

std::error_code LastError() noexcept {
    return std::error_code(static_cast<int>(GetLastError()), std::system_category());
}

// Removes one entry whose attributes are known: a folder (or a link to one) with
// RemoveDirectoryW, which removes a link without following it; anything else with
// DeleteFileW. Windows refuses to delete a read-only entry, so the attribute is
// cleared first and put back when the deletion fails anyway.
bool RemoveEntry(const wchar_t* path, DWORD attributes, std::error_code& ec) noexcept {
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    const bool removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(path) != 0 : DeleteFileW(path) != 0;
    if (removed) {
        return true;
    }
    ec = LastError();
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        SetFileAttributesW(path, attributes);
    }
    return false;
}

// Depth first; keeps going after a failure so that as much as possible goes, and
// reports the first error. Only real folders are descended into: a link or junction
// (a reparse point) is removed as an entry of its own.
std::uintmax_t RemoveTreeEntry(const std::wstring& path, DWORD attributes, std::error_code& ec) {
    std::uintmax_t count = 0;
    const bool realFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (realFolder) {
        WIN32_FIND_DATAW found;
        HANDLE search =
            FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
        if (search == INVALID_HANDLE_VALUE) {
            if (!ec) {
                ec = LastError();
            }
        } else {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") {
                    continue;
                }
                std::error_code childError;
                count += RemoveTreeEntry(path + L"\\" + name, found.dwFileAttributes, childError);
                if (childError && !ec) {
                    ec = childError;
                }
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
    }
    std::error_code entryError;
    if (RemoveEntry(path.c_str(), attributes, entryError)) {
        ++count;
    } else if (!ec) {
        ec = entryError;
    }
    return count;
}

} // namespace

bool RemoveFile(const std::filesystem::path& path, std::error_code& ec) noexcept {
    ec.clear();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (!IsMissingPathError(error)) {
            ec = std::error_code(static_cast<int>(error), std::system_category());
        }
        return false;
    }
    return RemoveEntry(path.c_str(), attributes, ec);
}

std::uintmax_t RemoveTree(const std::filesystem::path& path, std::error_code& ec) noexcept {
    ec.clear();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (!IsMissingPathError(error)) {
            ec = std::error_code(static_cast<int>(error), std::system_category());
        }
        return 0;
    }
    try {
        std::wstring root = path.native();
        while (root.size() > 1 && (root.back() == L'\\' || root.back() == L'/')) {
            root.pop_back();
        }
        return RemoveTreeEntry(root, attributes, ec);
    } catch (...) {
        ec = std::make_error_code(std::errc::not_enough_memory);
        return 0;
    }
}
