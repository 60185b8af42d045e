#include "discovery/file_system.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace {

// Attributes only and every sharing mode: a game that holds its files open must not make
// its folder look unopenable. Backup semantics are what lets CreateFileW open a folder.
HANDLE OpenForQuery(const std::filesystem::path& path) noexcept {
    return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
};

bool QueryIdentity(const std::filesystem::path& path, FileIdentity& identity) noexcept {
    HANDLE file = OpenForQuery(path);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info = {};
    bool ok = GetFileInformationByHandle(file, &info) != FALSE;
    CloseHandle(file);
    if (ok) {
        identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    }
    return ok;
}

std::error_code LastError() noexcept {
    return {static_cast<int>(GetLastError()), std::system_category()};
}

} // namespace

std::filesystem::path CanonicalPath(const std::filesystem::path& path, std::error_code& ec) noexcept {
    ec.clear();
    HANDLE file = OpenForQuery(path);
    if (file == INVALID_HANDLE_VALUE) {
        ec = LastError();
        return {};
    }
    std::wstring text;
    try {
        text.resize(MAX_PATH);
        for (;;) {
            DWORD length = GetFinalPathNameByHandleW(file, text.data(), static_cast<DWORD>(text.size()),
                                                     FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
            if (length == 0) {
                ec = LastError();
                break;
            }
            if (length < text.size()) {
                text.resize(length);
                break;
            }
            // Too small: the length returned counts the terminating zero.
            text.resize(length);
        }
    } catch (...) {
        ec = std::make_error_code(std::errc::not_enough_memory);
    }
    CloseHandle(file);
    if (ec) {
        return {};
    }
    // The system answers in its long-path form; users and the rest of the installer
    // expect the everyday spelling.
    constexpr std::wstring_view uncPrefix = L"\\\\?\\UNC\\";
    constexpr std::wstring_view longPrefix = L"\\\\?\\";
    std::wstring_view view = text;
    if (view.starts_with(uncPrefix)) {
        return std::filesystem::path(L"\\\\" + std::wstring(view.substr(uncPrefix.size())));
    }
    if (view.starts_with(longPrefix)) {
        return std::filesystem::path(std::wstring(view.substr(longPrefix.size())));
    }
    return std::filesystem::path(std::move(text));
}

bool SameFileSystemObject(const std::filesystem::path& a, const std::filesystem::path& b) noexcept {
    FileIdentity first;
    FileIdentity second;
    if (!QueryIdentity(a, first) || !QueryIdentity(b, second)) {
        return false;
    }
    return first.volume == second.volume && first.indexHigh == second.indexHigh && first.indexLow == second.indexLow;
}
