// The install engine on throwaway game folders: the texts its outcomes compose, what a
// failing or running game does to a run, the uninstall entry byte for byte, and that
// rounds of it hold no handles.
#include <gtest/gtest.h>

#include <map>

#include "app/state.h"
#include "install/payload.h"
#include "install/registration.h"
#include "install/removal.h"
#include "install/sequences.h"
#include "support.h"

const wchar_t SessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";

// Two games in one Steam library, the registry and the installer copy's folder private.
struct Install : testing::Test {
    TempFolder temp;
    RegistrySandbox registry{temp / L"local"};
    std::wstring plugins[2];
    Install() {
        state = InstallerState();
        CreateDirectoryW((temp / L"local").c_str(), nullptr);
        RegistrySandbox::SetText(registry.user, L"Software\\Valve\\Steam", L"SteamPath", temp / L"Steam");
        for (int kind = 0; kind < 2; ++kind) {
            const std::wstring folder = temp / L"Steam\\steamapps\\common\\" + GameKinds[kind].displayName;
            WriteFile(folder + L"\\bin\\win_x64\\" + GameKinds[kind].exeName, "MZ");
            plugins[kind] = folder + L"\\bin\\win_x64\\plugins";
            state.games.push_back(
                {GameKinds[kind].displayName, GameKinds[kind].exeName, folder, true, false, L"", false});
        }
    }
    // The reboot-time queue is machine-wide: what tests put there goes with them.
    ~Install() override {
        for (const wchar_t* value : {L"PendingFileRenameOperations", L"PendingFileRenameOperations2"}) {
            RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, SessionManager, value);
        }
    }
    std::wstring Failed(const std::wstring& names) const {
        return GetText(WriteFailed) + names + L". " + GetText(RunAsAdministrator);
    }
    bool Registered() const {
        return !RegGetValueW(HKEY_CURRENT_USER, UninstallKeyPath, L"UninstallString", RRF_RT_ANY, 0, 0, 0);
    }
    std::wstring Pending() const {
        std::wstring pending(65536, L'\0');
        DWORD bytes = static_cast<DWORD>(pending.size() * sizeof(wchar_t));
        RegGetValueW(HKEY_LOCAL_MACHINE, SessionManager, L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr,
                     pending.data(), &bytes);
        return pending.substr(0, bytes / sizeof(wchar_t));
    }
    std::string Payload(const wchar_t* name) const { return ReadFile(std::wstring(KV_PAYLOAD_DIR) + L"\\" + name); }
};

TEST_F(Install, FailuresAreNamedTogetherInListOrderAndRegisterNothing) {
    WriteFile(plugins[0] + L"\\Kestrovane", "a file where the product folder goes");
    WriteFile(plugins[1] + L"\\Kestrovane\\sounds\\door_close.wav", "a sound a player holds open");
    // Replaced without a tail of the longer file, hidden or not.
    const std::wstring sound = plugins[1] + L"\\Kestrovane\\sounds\\door_open.wav";
    WriteFile(sound, std::string(2 * Payload(L"door_open.wav").size(), 'x'));
    SetFileAttributesW(sound.c_str(), FILE_ATTRIBUTE_HIDDEN);
    HANDLE player = HoldFile(plugins[1] + L"\\Kestrovane\\sounds\\door_close.wav", FILE_SHARE_READ);
    RunInstallSequence();
    CloseHandle(player);
    EXPECT_EQ(state.statusText, Failed(L"American Truck Simulator, Euro Truck Simulator 2"));
    EXPECT_EQ(ReadFile(plugins[1] + L"\\Kestrovane.dll"), Payload(L"Kestrovane.dll")); // written before the sounds
    EXPECT_EQ(ReadFile(sound), Payload(L"door_open.wav"));
    EXPECT_FALSE(state.finished || Registered() || Exists(temp / L"local\\Kestrovane"));

    // An older install is told apart before the entries change: the run that succeeds is an update.
    DeleteFileW((plugins[0] + L"\\Kestrovane").c_str());
    state.games[0].pluginPresent = state.games[1].pluginPresent = true;
    state.games[0].installedVersion = L"1.10.2";
    state.games[1].installedVersion = L"1.9.4";
    RunInstallSequence();
    EXPECT_EQ(state.statusText, GetText(DoneUpdated));
    EXPECT_TRUE(state.finished && Registered());
}

TEST_F(Install, UninstallRefusedForARunningGameThenLetsTheLibraryDecide) {
    for (const std::wstring& folder : plugins) {
        WriteFile(folder + L"\\Kestrovane\\sounds\\door_open.wav", "RIFF");
        WriteFile(folder + L"\\Quillon.dll", "not ours to remove");
    }
    WriteFile(plugins[0] + L"\\Kestrovane.dll\\inside", "a library that cannot be deleted");
    WriteFile(plugins[1] + L"\\Kestrovane.dll", "MZ");
    SetFileAttributesW((plugins[1] + L"\\Kestrovane.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    RegisterUninstallEntry();
    state.uninstallMode = true;
    HANDLE game = HoldFile(plugins[1] + L"\\Kestrovane.dll", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    RunUninstallSequence(); // the game has its plug-in open, whatever sharing it allows
    CloseHandle(game);
    EXPECT_EQ(state.statusText, GetText(CloseGameFirst) + state.games[1].displayName);
    EXPECT_TRUE(Exists(plugins[0] + L"\\Kestrovane\\sounds\\door_open.wav") && Exists(plugins[1] + L"\\Kestrovane"));
    // Neither a folder in the library's place nor a read-only library is a running game.
    RunUninstallSequence();
    EXPECT_EQ(state.statusText, Failed(L"American Truck Simulator"));
    EXPECT_TRUE(Exists(plugins[0] + L"\\Kestrovane\\sounds\\door_open.wav"));
    EXPECT_FALSE(Exists(plugins[1] + L"\\Kestrovane.dll") || Exists(plugins[1] + L"\\Kestrovane"));
    EXPECT_EQ(ReadFile(plugins[1] + L"\\Quillon.dll"), "not ours to remove");
    EXPECT_TRUE(Registered() && !state.finished);
}

// Each string is read raw: its byte count holds exactly one terminating null.
TEST_F(Install, UninstallEntryValuesAndTheQueuedCopy) {
    RegisterUninstallEntry();
    const std::wstring copy = temp / L"local\\Kestrovane\\Kestrovane-Setup.exe";
    const std::wstring values[] = {L"DisplayName", L"Kestrovane", L"DisplayVersion",  L"1.10.2",
                                   L"Publisher",   L"Brasvell",   L"URLInfoAbout",    L"https://kestrovane.app",
                                   L"DisplayIcon", copy,          L"UninstallString", L"\"" + copy + L"\" /uninstall",
                                   L"NoModify",    L"",           L"NoRepair",        L""};
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, UninstallKeyPath, 0, KEY_READ, &key);
    for (int i = 0; i < 16; i += 2) {
        std::wstring data(1024, L'\0');
        DWORD type = 0, bytes = 2048;
        RegQueryValueExW(key, values[i].c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes);
        const bool text = i < 12;
        EXPECT_EQ(type, text ? DWORD{REG_SZ} : DWORD{REG_DWORD}) << i;
        // Strings hold exactly one terminating null; both flags are the DWORD 1.
        EXPECT_EQ(data.substr(0, bytes / 2), text ? values[i + 1] + L'\0' : std::wstring(L"\1\0", 2)) << i;
    }
    RegCloseKey(key);
    // Queued by others: a deletion, and a rename of the copy.
    const std::wstring others = L"\\??\\C:\\old" + std::wstring(2, L'\0') + L"\\??\\" + copy + L'\0' + L"C:\\x" + L'\0';
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, SessionManager, L"PendingFileRenameOperations", REG_MULTI_SZ,
                    (others + L'\0').c_str(), static_cast<DWORD>(others.size() * 2 + 2));
    UnregisterUninstallEntry();
    EXPECT_FALSE(Registered());
    const std::wstring folder = temp / L"local\\Kestrovane";
    EXPECT_EQ(Pending(), others + L"\\??\\" + copy + L'\0' + L'\0' + L"\\??\\" + folder + L'\0' + L'\0' + L'\0');
    // Installed again before the restart: the copy and its folder stay, the others stay as they were.
    // Windows also keeps a second queue, and marks its sources.
    const std::wstring marked = L"*1\\??\\" + folder + std::wstring(3, L'\0');
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, SessionManager, L"PendingFileRenameOperations2", REG_MULTI_SZ, marked.c_str(),
                    static_cast<DWORD>(marked.size() * 2));
    RegisterUninstallEntry();
    EXPECT_EQ(Pending(), others + L'\0');
    EXPECT_TRUE(RegGetValueW(HKEY_LOCAL_MACHINE, SessionManager, L"PendingFileRenameOperations2", RRF_RT_ANY, nullptr,
                             nullptr, nullptr));
}

// Every file and folder below a folder, with the start of the file's content.
std::map<std::wstring, std::string> Contents(const std::wstring& folder) {
    std::map<std::wstring, std::string> contents;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        contents[entry.path().wstring()] = ReadFile(entry.path().wstring()).substr(0, 16);
    }
    return contents;
}

// A link in place of the game folder, of a folder below it that a run works in, of the library,
// a sound or the predecessor, or of the installer copy's folder; a second name of the library;
// or a file where the copy's folder goes. Files there are rewritten in place, keeping their names
// (Windows code under Wine can remove none of the links). Nothing changes where a link leads; a game
// behind one is named as a failed write, the other one is installed and removed as usual, and no
// copy is registered or queued for deletion. A link left in the product folder does not fail the
// uninstall, which only the library decides.
TEST_F(Install, PlantedLinksLeadNowhere) {
    const std::wstring planted = CanonicalPath(KV_PLANTED), outside = planted + L"\\outside";
    const std::wstring failed = Failed(L"American Truck Simulator");
    // Whether the install and the uninstall fail the first game.
    const std::tuple<std::wstring, bool, bool> places[] = {
        {L"game", 1, 1}, {L"plugins", 1, 1}, {L"product", 1, 1}, {L"sounds", 1, 1}, {L"dll", 1, 1},
        {L"hard", 1, 1}, {L"sound", 1, 0},   {L"quillon", 1, 0}, {L"copy", 0, 0},   {L"copy-file", 0, 0}};
    for (const auto& [place, installFails, uninstallFails] : places) {
        for (const wchar_t* name :
             {L"Kestrovane.dll", L"door_open.wav", L"Quillon.dll", L"Kestrovane\\sounds\\door_open.wav"}) {
            WriteFile(outside + L"\\" + name, "theirs");
        }
        const auto before = Contents(outside);
        const bool copy = place.starts_with(L"copy");
        state.games[0].folder =
            copy ? temp / L"Steam\\steamapps\\common\\American Truck Simulator" : planted + L"\\" + place;
        registry.SetLocalAppData(copy ? planted + L"\\" + place : temp / L"local");
        state.finished = state.uninstallMode = false;
        RunInstallSequence();
        EXPECT_EQ(state.statusText, installFails ? failed : GetText(DoneInstalled)) << place;
        EXPECT_EQ(ReadFile(plugins[1] + L"\\Kestrovane\\sounds\\door_close.wav"), Payload(L"door_close.wav"));
        EXPECT_FALSE(Registered()) << place;
        state.finished = false;
        state.uninstallMode = true;
        RunUninstallSequence();
        EXPECT_EQ(state.statusText, uninstallFails ? failed : GetText(Removed)) << place;
        EXPECT_FALSE(Exists(plugins[1] + L"\\Kestrovane")) << place;
        EXPECT_EQ(Pending().find(L"Kestrovane-Setup"), std::wstring::npos) << place;
        EXPECT_EQ(Contents(outside), before) << place;
    }
    EXPECT_EQ(ReadFile(planted + L"\\copy-file\\Kestrovane"), "theirs");
}

// What the window showed at each paint: the status line, and "+" once the first game's library was there.
std::wstring watched;
std::vector<std::wstring> painted;

LRESULT CALLBACK RecordPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        painted.push_back(state.statusText + (Exists(watched) ? L"+" : L""));
    }
    return DefWindowProcW(window, message, wParam, lParam); // which validates
}

// "Installing..." reaches the screen before any file is written, and each round ends as it
// should with the entries marked accordingly; the rounds hold no handles.
TEST_F(Install, RoundsShowTheirWorkAndOutcomeAndHoldNoHandles) {
    WNDCLASSW windowClass = {0, RecordPaint, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"KvRecordPaint"};
    RegisterClassW(&windowClass);
    state.window = CreateWindowW(L"KvRecordPaint", L"", WS_POPUP | WS_VISIBLE, 0, 0, 64, 64, 0, 0, 0, 0);
    watched = plugins[0] + L"\\Kestrovane.dll";
    state.games[1].oldPluginPresent = true; // a predecessor alone: the run is still no update
    int handles = 0;
    for (int round = 0; round < 6; ++round) {
        handles = round == 1 ? CountHandles() : handles; // after a warm-up round that loads what stays loaded
        state.finished = state.uninstallMode = false;
        RunInstallSequence();
        EXPECT_EQ(painted,
                  (std::vector<std::wstring>{GetText(Installing), GetText(DoneInstalled) + std::wstring(L"+")}));
        for (const GameEntry& game : state.games) {
            EXPECT_TRUE(game.pluginPresent && game.installedVersion == L"1.10.2" && !game.oldPluginPresent);
        }
        state.finished = false;
        state.uninstallMode = true;
        RunUninstallSequence();
        EXPECT_EQ(state.statusText, GetText(Removed));
        ASSERT_TRUE(state.finished && !state.games[0].pluginPresent && state.games[1].installedVersion.empty());
        painted.clear();
    }
    EXPECT_EQ(CountHandles(), handles);
    DestroyWindow(state.window);
}
