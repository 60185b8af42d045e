#include "install/payload.h"

// Resource memory belongs to the loaded image: nothing here is freed. The file is opened
// with OPEN_ALWAYS and cut to length 0 rather than with CREATE_ALWAYS, which refuses to
// replace a hidden or system file; others may keep reading or writing it meanwhile.
bool ExtractResourceToFile(WORD id, const std::wstring& target) noexcept {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (!info) {
        return false;
    }
    HGLOBAL loaded = LoadResource(nullptr, info);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(nullptr, info);
    if (!bytes || size == 0) {
        return false;
    }

    HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok = SetEndOfFile(file) && WriteFile(file, bytes, size, &written, nullptr) && written == size;
    CloseHandle(file);
    return ok;
}
