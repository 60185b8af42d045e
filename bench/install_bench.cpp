// Installing: a full install into two games (RunInstallSequence, with the installer's
// window on screen so that its "Installing..." repaint counts) against copying the same
// bytes with CopyFileW. Both sides are timed trial by trial, interleaved.
//
//   kv_install_bench [trials] [--no-window]
//
// The install ends with the uninstall registration, which copies the running program to
// the per-user application data folder: the user waits for that too, so it is inside the
// measured install, and the raw-copy side copies the same program once as well, into
// folders it makes itself. The figures without the folders and the program are printed too. HKEY_CURRENT_USER is
// redirected to a private key and the application data folder to a temp folder, so nothing is registered for real.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/state.h"
#include "app/window_proc.h"
#include "bench/stats.h"
#include "install/sequences.h"
#include "platform/file_removal.h"
#include "ui/layout.h"
#include "ui/theme.h"

namespace fs = std::filesystem;

namespace {

constexpr const wchar_t* PayloadNames[] = {L"Kestrovane.dll", L"door_open.wav", L"door_close.wav"};

std::wstring UniqueName(const wchar_t* prefix) {
    wchar_t name[80];
    std::swprintf(name, 80, L"%ls-%lu-%llx", prefix, GetCurrentProcessId(),
                  static_cast<unsigned long long>(bench::Now()));
    return name;
}

bool MakeFile(const fs::path& file, const char* content) {
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    WriteFile(handle, content, static_cast<DWORD>(std::strlen(content)), &written, nullptr);
    CloseHandle(handle);
    return true;
}

// Two games in one Steam library, as a player has them before the first install.
std::vector<GameEntry> MakeGames(const fs::path& root) {
    std::vector<GameEntry> games;
    for (const GameKind& kind : GameKinds) {
        GameEntry entry;
        entry.displayName = kind.displayName;
        entry.exeName = kind.exeName;
        entry.folder = (root / L"SteamLibrary" / L"steamapps" / L"common" / kind.displayName).native();
        MakeFile(fs::path(entry.folder) / L"bin" / L"win_x64" / kind.exeName, "MZ");
        games.push_back(entry);
    }
    return games;
}

fs::path PluginsOf(const GameEntry& entry) {
    return fs::path(entry.folder) / L"bin" / L"win_x64" / L"plugins";
}

uintmax_t InstalledBytes(const std::vector<GameEntry>& games) {
    uintmax_t total = 0;
    for (const GameEntry& entry : games) {
        std::error_code ec;
        total += fs::file_size(PluginsOf(entry) / L"Kestrovane.dll", ec);
        total += fs::file_size(PluginsOf(entry) / L"Kestrovane" / L"sounds" / L"door_open.wav", ec);
        total += fs::file_size(PluginsOf(entry) / L"Kestrovane" / L"sounds" / L"door_close.wav", ec);
    }
    return total;
}

// Lets the window finish whatever paint is pending, outside the timed part.
void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

HWND CreateInstallerWindow() {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = WindowClassName;
    RegisterClassExW(&windowClass);
    CreateFonts();
    HWND window = CreateWindowExW(WS_EX_APPWINDOW, WindowClassName, WindowTitle, WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX,
                                  100, 100, ClientRectFor(state.scale).right, ClientRectFor(state.scale).bottom,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOW);
    Pump();
    return window;
}

struct Sandbox {
    std::wstring keyName;
    HKEY user = nullptr;
    fs::path root;
    fs::path localAppData;
};

// HKEY_CURRENT_USER of this process becomes a private key whose shell folder value sends
// the per-user application data folder into the temp folder.
bool OpenSandbox(Sandbox& sandbox) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    sandbox.root = fs::path(temp) / UniqueName(L"kv-install-bench");
    sandbox.localAppData = sandbox.root / L"LocalAppData";
    std::error_code ec;
    fs::create_directories(sandbox.localAppData, ec);
    sandbox.keyName = L"Software\\" + UniqueName(L"KvInstallBench");
    if (RegCreateKeyExW(HKEY_CURRENT_USER, sandbox.keyName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &sandbox.user, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    HKEY folders = nullptr;
    RegCreateKeyExW(sandbox.user, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", 0,
                    nullptr, 0, KEY_ALL_ACCESS, nullptr, &folders, nullptr);
    const std::wstring& value = sandbox.localAppData.native();
    RegSetValueExW(folders, L"Local AppData", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(folders);
    return RegOverridePredefKey(HKEY_CURRENT_USER, sandbox.user) == ERROR_SUCCESS;
}

void CloseSandbox(Sandbox& sandbox) {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(sandbox.user);
    RegDeleteTreeW(HKEY_CURRENT_USER, sandbox.keyName.c_str());
    RemoveTree(sandbox.root);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int trials = 100;
    bool withWindow = true;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--no-window") == 0) {
            withWindow = false;
        } else {
            trials = _wtoi(argv[i]);
        }
    }
    Sandbox sandbox;
    if (!OpenSandbox(sandbox)) {
        std::fprintf(stderr, "kv_install_bench: cannot redirect HKEY_CURRENT_USER\n");
        return 2;
    }
    if (withWindow) {
        state.window = CreateInstallerWindow();
    }
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    const fs::path payload = KV_PAYLOAD_DIR;
    const fs::path copyFolder = sandbox.localAppData / L"Kestrovane";

    std::vector<double> install;
    std::vector<double> copyFiles;
    std::vector<double> copyAll;
    std::vector<double> copyWithFolders;
    uintmax_t bytes = 0;
    int failures = 0;
    auto runInstall = [&](const fs::path& trialRoot) {
        state.games = MakeGames(trialRoot);
        std::error_code ec;
        RemoveTree(copyFolder); // the program is copied afresh, as at a first install
        state.finished = false;
        state.statusText.clear();
        Pump();
        const LONGLONG start = bench::Now();
        RunInstallSequence();
        install.push_back(bench::Seconds(bench::Now() - start) * 1000);
        if (!state.finished || !fs::exists(copyFolder / L"Kestrovane-Setup.exe", ec)) {
            ++failures;
        }
        bytes = InstalledBytes(state.games);
    };
    // The raw copy: CopyFileW of the same bytes. The folders are made by CreateDirectoryW
    // inside the timed part (a copy into folders that are not there fails); the figures
    // without the folders and without the program copy are kept beside it.
    auto runCopy = [&](const fs::path& trialRoot) {
        std::vector<GameEntry> games = MakeGames(trialRoot);
        RemoveTree(copyFolder);
        const LONGLONG start = bench::Now();
        bool ok = true;
        for (const GameEntry& entry : games) {
            const fs::path plugins = PluginsOf(entry);
            ok &= CreateDirectoryW(plugins.c_str(), nullptr) != 0;
            ok &= CreateDirectoryW((plugins / L"Kestrovane").c_str(), nullptr) != 0;
            ok &= CreateDirectoryW((plugins / L"Kestrovane" / L"sounds").c_str(), nullptr) != 0;
        }
        ok &= CreateDirectoryW(copyFolder.c_str(), nullptr) != 0;
        const LONGLONG foldersDone = bench::Now();
        for (const GameEntry& entry : games) {
            const fs::path plugins = PluginsOf(entry);
            const fs::path sounds = plugins / L"Kestrovane" / L"sounds";
            ok &= CopyFileW((payload / PayloadNames[0]).c_str(), (plugins / PayloadNames[0]).c_str(), FALSE) != 0;
            ok &= CopyFileW((payload / PayloadNames[1]).c_str(), (sounds / PayloadNames[1]).c_str(), FALSE) != 0;
            ok &= CopyFileW((payload / PayloadNames[2]).c_str(), (sounds / PayloadNames[2]).c_str(), FALSE) != 0;
        }
        const LONGLONG filesDone = bench::Now();
        ok &= CopyFileW(own, (copyFolder / L"Kestrovane-Setup.exe").c_str(), FALSE) != 0;
        const LONGLONG end = bench::Now();
        copyFiles.push_back(bench::Seconds(filesDone - foldersDone) * 1000);
        copyAll.push_back(bench::Seconds(end - foldersDone) * 1000);
        copyWithFolders.push_back(bench::Seconds(end - start) * 1000);
        if (!ok) {
            ++failures;
        }
    };

    // Every trial writes into fresh folders: a first install, the common case, and the
    // one that creates every folder.
    const int warmup = 3;
    for (int trial = -warmup; trial < trials; ++trial) {
        const fs::path trialRoot = sandbox.root / (L"trial" + std::to_wstring(trial + warmup));
        const fs::path installRoot = trialRoot / L"install";
        const fs::path copyRoot = trialRoot / L"copy";
        if (trial % 2 == 0) {
            runInstall(installRoot);
            runCopy(copyRoot);
        } else {
            runCopy(copyRoot);
            runInstall(installRoot);
        }
        if (trial < 0) {
            install.clear();
            copyFiles.clear();
            copyAll.clear();
            copyWithFolders.clear();
        }
        RemoveTree(trialRoot);
        RemoveTree(copyFolder);
    }
    std::error_code ec;
    const uintmax_t programBytes = fs::file_size(own, ec);

    bench::PrintSummary("install", withWindow ? "RunInstallSequence, two games" : "RunInstallSequence, no window", "ms",
                        bench::Summarize(install));
    bench::PrintSummary("install", "CopyFileW, 3 files x 2 games", "ms", bench::Summarize(copyFiles));
    bench::PrintSummary("install", "CopyFileW, 3 files x 2 games + program copy", "ms", bench::Summarize(copyAll));
    bench::PrintSummary("install", "CreateDirectoryW + CopyFileW, 3 files x 2 games + program copy", "ms",
                        bench::Summarize(copyWithFolders));
    std::printf("info\tinstall/payload bytes written\tbytes\t%llu\n", static_cast<unsigned long long>(bytes));
    std::printf("info\tinstall/program copy bytes\tbytes\t%llu\n", static_cast<unsigned long long>(programBytes));
    if (state.window) {
        DestroyWindow(state.window);
    }
    CloseSandbox(sandbox);
    if (failures) {
        std::fprintf(stderr, "kv_install_bench: %d trials failed\n", failures);
        return 1;
    }
    return 0;
}
