#include <gtest/gtest.h>

#include "app/state.h"
#include "install/registration.h"
#include "install/sequences.h"
#include "install_support.h"

namespace {

using namespace kvtest;

const wchar_t* const WriteFailedStart = L"Could not write to the game folder: ";
const wchar_t* const RunAsAdministratorEnd = L". Run the installer as administrator to write to this folder.";

// One Steam library with both games in a throwaway folder, Steam's registry values and
// the uninstall entry in private keys, and the installer copy's folder redirected.
class Sequences : public ::testing::Test {
protected:
    Sequences() : registry_(temp_.path() / L"local") {
        std::error_code ec;
        fs::create_directories(temp_.path() / L"local", ec);
        library_ = temp_.path() / L"Steam";
        HKEY steam = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Valve\\Steam", 0, nullptr, 0, KEY_WRITE, nullptr, &steam,
                        nullptr);
        const std::wstring& text = library_.native();
        RegSetValueExW(steam, L"SteamPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(steam);

        state = InstallerState();
        state.games.push_back(MakeGame(library_ / L"steamapps" / L"common", 0));
        state.games.push_back(MakeGame(library_ / L"steamapps" / L"common", 1));
    }
    ~Sequences() override {
        ForgetPendingRenamesBelow(temp_.path());
        state = InstallerState();
    }

    fs::path Plugins(int game) const { return PluginsOf(state.games[game]); }
    bool Registered() const { return KeyExists(HKEY_CURRENT_USER, UninstallKeyPath); }
    bool CopyKept() const { return Exists(temp_.path() / L"local" / L"Kestrovane" / L"Kestrovane-Setup.exe"); }
    int PendingRenamesOfOurs() const {
        int count = 0;
        for (const std::wstring& item : PendingRenames()) {
            count += item.find(temp_.path().native()) != std::wstring::npos;
        }
        return count;
    }
    void ExpectInstalled(int game) const {
        const GameEntry& entry = state.games[game];
        EXPECT_EQ(ReadFile(Plugins(game) / L"Kestrovane.dll"), ReadFile(fs::path(KV_PAYLOAD_DIR) / L"Kestrovane.dll"))
            << fs::path(entry.displayName).string();
        EXPECT_TRUE(Exists(Plugins(game) / L"Kestrovane" / L"sounds" / L"door_open.wav"));
        EXPECT_TRUE(Exists(Plugins(game) / L"Kestrovane" / L"sounds" / L"door_close.wav"));
        EXPECT_TRUE(entry.pluginPresent);
        EXPECT_EQ(entry.installedVersion, L"1.10.2");
        EXPECT_FALSE(entry.oldPluginPresent);
    }
    void Install(int game) const {
        WriteFile(Plugins(game) / L"Kestrovane.dll", "MZ");
        WriteFile(Plugins(game) / L"Kestrovane" / L"sounds" / L"door_open.wav", "RIFF");
        state.games[game].pluginPresent = true;
        state.games[game].installedVersion = L"1.10.2";
    }

    TempFolder temp_;
    RegistrySandbox registry_;
    fs::path library_;
};

TEST_F(Sequences, RefusesWithoutATickedGameOrWhileAGameRuns) {
    for (GameEntry& entry : state.games) {
        entry.checked = false;
    }
    RunInstallSequence();
    EXPECT_EQ(state.statusText, L"Select at least one game.");
    EXPECT_EQ(state.statusColor, StatusColorError);

    // The second ticked game holds its library: neither game is touched.
    for (GameEntry& entry : state.games) {
        entry.checked = true;
    }
    WriteFile(Plugins(1) / L"Kestrovane.dll", "MZ running");
    HANDLE held = CreateFileW((Plugins(1) / L"Kestrovane.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RunInstallSequence();
    EXPECT_EQ(state.statusText, L"Close the game before installing: Euro Truck Simulator 2");
    EXPECT_EQ(state.statusColor, StatusColorError);
    EXPECT_FALSE(Exists(Plugins(0)));
    EXPECT_EQ(ReadFile(Plugins(1) / L"Kestrovane.dll"), "MZ running");

    // Uninstall uses the same opening: nothing is removed.
    state.uninstallMode = true;
    RunUninstallSequence();
    EXPECT_EQ(state.statusText, L"Close the game before installing: Euro Truck Simulator 2");
    CloseHandle(held);
    EXPECT_EQ(ReadFile(Plugins(1) / L"Kestrovane.dll"), "MZ running");
    EXPECT_FALSE(state.finished);
    EXPECT_FALSE(Registered());

    state.games.clear();
    RunUninstallSequence();
    EXPECT_EQ(state.statusText, L"Select at least one game.");
}

TEST_F(Sequences, InstallWritesThePayloadReplacesThePredecessorAndRegisters) {
    // The first game has no plugins folder yet; the second has the predecessor and
    // files of its own beside ours.
    WriteFile(Plugins(1) / L"Quillon.dll", "MZ old");
    WriteFile(Plugins(1) / L"other_plugin.dll", "MZ other");
    WriteFile(Plugins(1) / L"Kestrovane" / L"seat.cfg", "kept");
    WriteFile(Plugins(1) / L"Kestrovane" / L"sounds" / L"door_open.wav", "an older sound");
    state.games[1].oldPluginPresent = true;

    RunInstallSequence();
    EXPECT_EQ(state.statusText, L"Done! Start the game and press Ctrl+F10 to get out of the truck.");
    EXPECT_EQ(state.statusColor, StatusColorSuccess);
    EXPECT_TRUE(state.finished);
    ExpectInstalled(0);
    ExpectInstalled(1);
    EXPECT_FALSE(Exists(Plugins(1) / L"Quillon.dll"));
    EXPECT_EQ(ReadFile(Plugins(1) / L"other_plugin.dll"), "MZ other");
    EXPECT_EQ(ReadFile(Plugins(1) / L"Kestrovane" / L"seat.cfg"), "kept");
    EXPECT_EQ(ReadFile(Plugins(1) / L"Kestrovane" / L"sounds" / L"door_open.wav"),
              ReadFile(fs::path(KV_PAYLOAD_DIR) / L"door_open.wav"));
    EXPECT_TRUE(Registered());
    EXPECT_TRUE(CopyKept());
}

TEST_F(Sequences, AnUpdateIsToldApartBeforeTheEntriesChange) {
    Install(0);
    state.games[0].installedVersion = L"1.9.4";
    Install(1);
    RunInstallSequence();
    EXPECT_EQ(state.statusText,
              L"Updated! Your settings were kept. Start the game and press Ctrl+F10 to get out of the truck.");
    ExpectInstalled(0);
}

TEST_F(Sequences, AFailedGameIsNamedTheOthersGoOnAndNothingIsRegistered) {
    // A file where the product folder must be created.
    WriteFile(Plugins(0) / L"Kestrovane", "in the way");
    RunInstallSequence();
    EXPECT_EQ(state.statusText, WriteFailedStart + std::wstring(L"American Truck Simulator") + RunAsAdministratorEnd);
    EXPECT_EQ(state.statusColor, StatusColorError);
    EXPECT_FALSE(state.finished);
    EXPECT_FALSE(state.games[0].pluginPresent);
    ExpectInstalled(1);
    EXPECT_FALSE(Registered());
    EXPECT_FALSE(CopyKept());

    // Both fail: named in list order.
    RemoveFile(Plugins(1) / L"Kestrovane.dll");
    WriteFile(Plugins(1) / L"Kestrovane.dll" / L"in the way", "x");
    RunInstallSequence();
    EXPECT_EQ(state.statusText, WriteFailedStart + std::wstring(L"American Truck Simulator, Euro Truck Simulator 2") +
                                    RunAsAdministratorEnd);

    // With the causes gone, a retry installs both and registers.
    RemoveTree(Plugins(0) / L"Kestrovane");
    RemoveTree(Plugins(1) / L"Kestrovane.dll");
    RunInstallSequence();
    EXPECT_TRUE(state.finished);
    ExpectInstalled(0);
    ExpectInstalled(1);
    EXPECT_TRUE(Registered());
}

TEST_F(Sequences, UninstallOfEveryCopyUnregistersAndQueuesTheCopy) {
    Install(0);
    Install(1);
    WriteFile(Plugins(1) / L"Quillon.dll", "MZ old");
    RegisterUninstallEntry();
    ASSERT_TRUE(Registered());
    state.uninstallMode = true;

    RunUninstallSequence();
    EXPECT_EQ(state.statusText, L"Kestrovane was removed.");
    EXPECT_EQ(state.statusColor, StatusColorSuccess);
    EXPECT_TRUE(state.finished);
    for (int game = 0; game < 2; ++game) {
        EXPECT_FALSE(Exists(Plugins(game) / L"Kestrovane.dll"));
        EXPECT_FALSE(Exists(Plugins(game) / L"Kestrovane"));
        EXPECT_FALSE(state.games[game].pluginPresent);
        EXPECT_EQ(state.games[game].installedVersion, L"");
        EXPECT_TRUE(state.games[game].checked);
    }
    EXPECT_EQ(ReadFile(Plugins(1) / L"Quillon.dll"), "MZ old");
    EXPECT_FALSE(Registered());
    EXPECT_TRUE(CopyKept());
    EXPECT_EQ(PendingRenamesOfOurs(), 2);
}

TEST_F(Sequences, UninstallKeepsTheRegistrationWhileACopyIsLeftOrAGameFailed) {
    Install(0);
    Install(1);
    RegisterUninstallEntry();
    state.uninstallMode = true;

    // The unticked game keeps its library, and the leftover check finds it.
    state.games[0].checked = false;
    RunUninstallSequence();
    EXPECT_EQ(state.statusText, L"Kestrovane was removed.");
    EXPECT_TRUE(Exists(Plugins(0) / L"Kestrovane.dll"));
    EXPECT_FALSE(Exists(Plugins(1) / L"Kestrovane.dll"));
    EXPECT_TRUE(Registered());
    EXPECT_EQ(PendingRenamesOfOurs(), 0);

    // A library that cannot be deleted fails its game; the other is still cleaned.
    state.finished = false;
    state.games[0].checked = true;
    Install(1);
    RemoveFile(Plugins(0) / L"Kestrovane.dll");
    WriteFile(Plugins(0) / L"Kestrovane.dll" / L"inside", "x");
    RunUninstallSequence();
    EXPECT_EQ(state.statusText, WriteFailedStart + std::wstring(L"American Truck Simulator") + RunAsAdministratorEnd);
    EXPECT_FALSE(state.finished);
    EXPECT_TRUE(state.games[0].pluginPresent);
    EXPECT_FALSE(state.games[1].pluginPresent);
    EXPECT_FALSE(Exists(Plugins(1) / L"Kestrovane.dll"));
    EXPECT_TRUE(Exists(Plugins(0) / L"Kestrovane" / L"sounds" / L"door_open.wav"));
    EXPECT_TRUE(Registered());
    EXPECT_EQ(PendingRenamesOfOurs(), 0);
}

} // namespace
