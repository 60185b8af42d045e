#pragma once
// Throwaway folders, files and registry roots for the discovery tests under Wine.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

// A fresh folder under the temp folder, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, base);
        for (int n = 0;; ++n) {
            path_ = std::filesystem::path(base) /
                    (L"kv-discovery-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(n));
            if (CreateDirectoryW(path_.c_str(), nullptr)) {
                break;
            }
        }
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& relative) const { return path_ / relative; }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A game folder as the games lay it out: only the executable matters for recognition.
inline void MakeGameFolder(const std::filesystem::path& folder, const wchar_t* exeName) {
    WriteBytes(folder / L"bin" / L"win_x64" / exeName, "MZ");
}

// Redirects HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE of this process into a scratch key,
// so that the tests see only the Steam values they write.
class RegistrySandbox {
public:
    RegistrySandbox() {
        name_ = L"Software\\KestrovaneTests\\" + std::to_wstring(GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, name_.c_str());
        RegCreateKeyExW(HKEY_CURRENT_USER, (name_ + L"\\user").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &user_,
                        nullptr);
        RegCreateKeyExW(HKEY_CURRENT_USER, (name_ + L"\\machine").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &machine_, nullptr);
        RegOverridePredefKey(HKEY_CURRENT_USER, user_);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_);
    }
    ~RegistrySandbox() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegCloseKey(user_);
        RegCloseKey(machine_);
        RegDeleteTreeW(HKEY_CURRENT_USER, name_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\KestrovaneTests"); // fails while others still use it
    }
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    static void SetText(HKEY root, const wchar_t* subkey, const wchar_t* value, std::wstring_view text,
                        DWORD type = REG_SZ) {
        std::wstring data(text);
        RegSetKeyValueW(root, subkey, value, type, data.c_str(),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    }
    static void SetSteamPath(std::wstring_view text, DWORD type = REG_SZ) {
        SetText(HKEY_CURRENT_USER, L"Software\\Valve\\Steam", L"SteamPath", text, type);
    }
    static void SetInstallPath(std::wstring_view text) {
        SetText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\Valve\\Steam", L"InstallPath", text);
    }

private:
    std::wstring name_;
    HKEY user_ = nullptr;
    HKEY machine_ = nullptr;
};
