#pragma once
// Opens a name inside a folder already open, as the kernel resolves it: relative to the folder's
// handle, so no folder name is looked up again and nothing done to the path above (a rename, a
// link put in place, a mount point set on the folder itself) changes what is opened.
#include <windows.h>

#include <string_view>

// How the entry is opened, in the kernel's own terms: a disposition (FILE_OPEN, FILE_OPEN_IF)
// and options (FILE_DIRECTORY_FILE, FILE_NON_DIRECTORY_FILE; FILE_OPEN_REPARSE_POINT is always
// added, so a link is opened as itself).
struct RelativeOpen {
    ACCESS_MASK access;
    ULONG share;
    ULONG disposition;
    ULONG options;
};

// The handle, or INVALID_HANDLE_VALUE with the last error set as Windows would set it. The
// name is one element: no separator, no stream, not "." or "..".
HANDLE OpenInFolder(void* folder, std::wstring_view name, const RelativeOpen& how) noexcept;

// Whether a name is one plain element of a folder.
constexpr bool IsPlainName(std::wstring_view name) noexcept {
    return !name.empty() && name != L"." && name != L".." && name.find_first_of(L"\\/:") == std::wstring_view::npos;
}
