#pragma once
// Throwaway folders, registry roots and helper processes for the tests of the install
// engine and the folder picker. Everything a test creates lives under the temp folder or
// under a private registry key and is removed afterwards.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/game_entry.h"
#include "platform/file_removal.h"
#include "platform/file_system.h"

namespace kvtest {

namespace fs = std::filesystem;

inline std::wstring UniqueName(const wchar_t* prefix) {
    static_assert(sizeof(DWORD) == 4);
    wchar_t name[96];
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    swprintf(name, 96, L"%ls-%lu-%llx", prefix, GetCurrentProcessId(), static_cast<unsigned long long>(now.QuadPart));
    return name;
}

// A fresh folder under the temp folder, removed with its content afterwards. Links
// inside are removed as links, so whatever they point to survives the clean-up.
class TempFolder {
public:
    // Under the temp folder, or under `parent` when the test needs a particular drive.
    explicit TempFolder(const fs::path& parent = {}) {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        path_ = (parent.empty() ? fs::path(temp) : parent) / UniqueName(L"kv");
        std::error_code ec;
        fs::create_directories(path_, ec);
    }
    ~TempFolder() { RemoveTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

inline void WriteFile(const fs::path& file, const std::string& content) {
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    FILE* stream = _wfopen(file.c_str(), L"wb");
    if (stream) {
        fwrite(content.data(), 1, content.size(), stream);
        fclose(stream);
    }
}

inline std::string ReadFile(const fs::path& file) {
    std::string content;
    FILE* stream = _wfopen(file.c_str(), L"rb");
    if (!stream) {
        return content;
    }
    char buffer[65536];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, stream)) > 0;) {
        content.append(buffer, n);
    }
    fclose(stream);
    return content;
}

inline bool Exists(const fs::path& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A game installation as the games lay it out: <parent>\<display name>\bin\win_x64\<exe>.
inline GameEntry MakeGame(const fs::path& parent, int kind) {
    GameEntry entry;
    entry.displayName = GameKinds[kind].displayName;
    entry.exeName = GameKinds[kind].exeName;
    entry.folder = (parent / entry.displayName).native();
    WriteFile(fs::path(entry.folder) / L"bin" / L"win_x64" / entry.exeName, "MZ");
    return entry;
}

inline fs::path PluginsOf(const GameEntry& entry) {
    return fs::path(entry.folder) / L"bin" / L"win_x64" / L"plugins";
}

// Points HKEY_CURRENT_USER (and optionally HKEY_LOCAL_MACHINE) of this process at private
// keys, and optionally the per-user local application data folder at a test folder.
class RegistrySandbox {
public:
    explicit RegistrySandbox(const fs::path& localAppData = {}, bool machineToo = false) {
        name_ = L"Software\\" + UniqueName(L"KvTest");
        RegCreateKeyExW(HKEY_CURRENT_USER, (name_ + L"\\User").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &user_,
                        nullptr);
        if (machineToo) {
            RegCreateKeyExW(HKEY_CURRENT_USER, (name_ + L"\\Machine").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &machine_, nullptr);
        }
        if (!localAppData.empty()) {
            HKEY folders = nullptr;
            RegCreateKeyExW(user_, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", 0,
                            nullptr, 0, KEY_ALL_ACCESS, nullptr, &folders, nullptr);
            const std::wstring& value = localAppData.native();
            RegSetValueExW(folders, L"Local AppData", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
            RegCloseKey(folders);
        }
        RegOverridePredefKey(HKEY_CURRENT_USER, user_);
        if (machine_) {
            RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_);
        }
    }
    ~RegistrySandbox() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegCloseKey(user_);
        if (machine_) {
            RegCloseKey(machine_);
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, name_.c_str());
    }
    RegistrySandbox(const RegistrySandbox&) = delete;
    // Below the real HKEY_CURRENT_USER: what a helper process overrides its own root with.
    std::wstring userKeyPath() const { return name_ + L"\\User"; }
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

private:
    std::wstring name_;
    HKEY user_ = nullptr;
    HKEY machine_ = nullptr;
};

inline bool KeyExists(HKEY root, const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// The reboot-time queue of the whole prefix (MoveFileExW writes it by absolute path, so a
// predefined-key override does not redirect it). Pairs of source and target; an empty
// target means "delete".
inline const wchar_t* const SessionManagerKey = L"System\\CurrentControlSet\\Control\\Session Manager";

inline std::vector<std::wstring> PendingRenames() {
    std::vector<std::wstring> items;
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, SessionManagerKey, L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ,
                     nullptr, nullptr, &bytes) != ERROR_SUCCESS) {
        return items;
    }
    std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(HKEY_LOCAL_MACHINE, SessionManagerKey, L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ,
                     nullptr, data.data(), &bytes) != ERROR_SUCCESS) {
        return items;
    }
    data.resize(bytes / sizeof(wchar_t));
    // Sources and targets alternate; a target may be empty, so split on every null.
    size_t start = 0;
    while (start < data.size()) {
        size_t end = data.find(L'\0', start);
        if (end == std::wstring::npos) {
            end = data.size();
        }
        items.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    while (!items.empty() && items.back().empty() && items.size() % 2 != 0) {
        items.pop_back();
    }
    return items;
}

// Drops the queued operations whose source lies below `folder`, leaving the rest.
inline void ForgetPendingRenamesBelow(const fs::path& folder) {
    const std::vector<std::wstring> items = PendingRenames();
    const std::wstring prefix = L"\\??\\" + folder.native();
    std::wstring kept;
    for (size_t i = 0; i + 1 < items.size(); i += 2) {
        if (items[i].empty() || items[i].rfind(prefix, 0) == 0) {
            continue;
        }
        kept += items[i] + L'\0' + items[i + 1] + L'\0';
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, SessionManagerKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
        return;
    }
    if (kept.empty()) {
        RegDeleteValueW(key, L"PendingFileRenameOperations");
    } else {
        kept += L'\0';
        RegSetValueExW(key, L"PendingFileRenameOperations", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                       static_cast<DWORD>(kept.size() * sizeof(wchar_t)));
    }
    RegCloseKey(key);
}

namespace detail {

struct PickerSearch {
    DWORD process = GetCurrentProcessId();
    HWND found = nullptr;
};

inline BOOL CALLBACK FindPickerWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<PickerSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (process == search.process && std::wstring(name) == L"#32770" && IsWindowVisible(window)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

inline BOOL CALLBACK FindPickerEdit(HWND window, LPARAM param) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) == L"Edit") {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace detail

// Plays the user of the folder picker from a helper thread: waits up to 10 s for the
// picker of this process, types `folder` into its name box and presses OK, or presses
// Cancel when `folder` is empty.
inline void AnswerFolderPicker(std::wstring folder) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        detail::PickerSearch search;
        EnumWindows(detail::FindPickerWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.found) {
            Sleep(50);
            continue;
        }
        if (folder.empty()) {
            PostMessageW(search.found, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        HWND edit = nullptr;
        EnumChildWindows(search.found, detail::FindPickerEdit, reinterpret_cast<LPARAM>(&edit));
        SetWindowTextW(edit, folder.c_str());
        PostMessageW(search.found, WM_COMMAND, IDOK, 0);
        return;
    }
}

// Started as "<test exe> --hold-file <file> <share mode> <event>", a test program plays
// another process that holds a file open (a running game, a media player) with the given
// sharing, until the event is set. Each test program that links this header answers the
// request before its tests start.
inline bool HoldFileWhenAsked() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count != 5 || std::wstring(args[1]) != L"--hold-file") {
        LocalFree(args);
        return false;
    }
    HANDLE file =
        CreateFileW(args[2], GENERIC_READ, static_cast<DWORD>(_wtoi(args[3])), nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, (std::wstring(args[4]) + L"-ready").c_str());
    HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, args[4]);
    if (file != INVALID_HANDLE_VALUE) {
        SetEvent(ready);
    }
    WaitForSingleObject(release, 30000);
    CloseHandle(file);
    ExitProcess(0);
}

inline const bool holdFileChildMode = HoldFileWhenAsked();

// Another process that holds `file` open with `share` until it is destroyed.
class HoldingProcess {
public:
    HoldingProcess(const fs::path& file, DWORD share) {
        const std::wstring event = UniqueName(L"kv-hold");
        release_ = CreateEventW(nullptr, TRUE, FALSE, event.c_str());
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, (event + L"-ready").c_str());
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring command = L"\"" + std::wstring(self) + L"\" --hold-file \"" + file.native() + L"\" " +
                               std::to_wstring(share) + L" " + event;
        STARTUPINFOW startup = {sizeof startup};
        PROCESS_INFORMATION process = {};
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            CloseHandle(process.hThread);
            process_ = process.hProcess;
            ready_ = WaitForSingleObject(ready, 20000) == WAIT_OBJECT_0;
        }
        CloseHandle(ready);
    }
    ~HoldingProcess() { Stop(); }
    HoldingProcess(const HoldingProcess&) = delete;
    HoldingProcess& operator=(const HoldingProcess&) = delete;

    bool ready() const { return ready_; }
    void Stop() {
        if (release_) {
            SetEvent(release_);
            CloseHandle(release_);
            release_ = nullptr;
        }
        if (process_) {
            WaitForSingleObject(process_, 20000);
            CloseHandle(process_);
            process_ = nullptr;
        }
    }

private:
    HANDLE release_ = nullptr;
    HANDLE process_ = nullptr;
    bool ready_ = false;
};

inline bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// The Linux name of a Windows path; Wine's own export, so only called under Wine.
inline std::wstring UnixPath(const fs::path& path) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = toUnix ? toUnix(path.c_str()) : nullptr;
    std::wstring result;
    for (const char* c = name; c && *c; ++c) {
        result += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    }
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

} // namespace kvtest
