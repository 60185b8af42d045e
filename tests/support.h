#pragma once
// Isolation for the tests that run under Wine: a throwaway folder, a private registry, a
// held file, and resource counters. Nothing a test makes outlives it.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file_system.h"

// One at a time in a process: each is removed before the next test makes its own.
inline const std::wstring Unique = L"kv-test-" + std::to_wstring(GetCurrentProcessId());

inline void WriteFile(const std::wstring& file, const std::string& content) {
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::ofstream(std::filesystem::path(file), std::ios::binary) << content;
}

inline std::string ReadFile(const std::wstring& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A fresh folder under the temp folder, removed with everything in it afterwards.
struct TempFolder {
    std::wstring path = (std::filesystem::temp_directory_path() / Unique).wstring();
    std::error_code ec;
    TempFolder() { CreateDirectoryW(path.c_str(), nullptr); }
    ~TempFolder() { std::filesystem::remove_all(path, ec); }
    std::wstring operator/(const std::wstring& relative) const { return path + L"\\" + relative; }
};

// HKEY_CURRENT_USER (and HKEY_LOCAL_MACHINE unless a local application data folder is
// given) of this process point at private keys; that folder at a test folder.
struct RegistrySandbox {
    std::wstring name = L"Software\\" + Unique;
    HKEY user = nullptr;
    HKEY machine = nullptr;
    explicit RegistrySandbox(const std::wstring& localAppData = L"") {
        RegCreateKeyW(HKEY_CURRENT_USER, (name + L"\\U").c_str(), &user);
        RegCreateKeyW(HKEY_CURRENT_USER, (name + L"\\M").c_str(), &machine);
        if (!localAppData.empty()) {
            SetLocalAppData(localAppData);
        }
        RegOverridePredefKey(HKEY_CURRENT_USER, user);
        // The install engine's reboot-time queue is machine-wide and never redirected.
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, localAppData.empty() ? machine : nullptr);
    }
    ~RegistrySandbox() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegCloseKey(user);
        RegCloseKey(machine);
        RegDeleteTreeW(HKEY_CURRENT_USER, name.c_str());
    }
    void SetLocalAppData(const std::wstring& folder) const {
        SetText(user, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", L"Local AppData",
                folder);
    }
    static void SetText(HKEY root, const wchar_t* key, const wchar_t* value, const std::wstring& text,
                        DWORD type = REG_SZ) {
        RegSetKeyValueW(root, key, value, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
};

// A running game or a media player: the file held open with the given sharing until the
// handle is closed.
inline HANDLE HoldFile(const std::wstring& file, DWORD share) {
    return CreateFileW(file.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

// Live kernel handles and GDI objects of this process. Wine answers the system's own
// counters with 0: the handle table is probed value by value, and the GDI table by index
// (Wine accepts a GDI handle without its generation bits).
inline int CountHandles() {
    int count = 0;
    DWORD flags = 0;
    for (ULONG_PTR value = 4; value < 16384; value += 4) {
        count += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    }
    return count;
}

inline int CountGdiObjects() {
    int count = 0;
    for (ULONG_PTR index = 1; index < 65536; ++index) {
        count += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) ? 1 : 0;
    }
    return count;
}
