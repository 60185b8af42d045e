// Finding the games: Steam's registry values and library file, game folders, plug-in
// versions, and a folder chosen by hand.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/state.h"
#include "discovery/folder_dialog.h"
#include "discovery/game_folder.h"
#include "discovery/steam_libraries.h"
#include "support.h"

struct Discovery : testing::Test {
    TempFolder temp;
    RegistrySandbox registry;
    Discovery() { state = InstallerState(); }

    std::wstring Game(const std::wstring& library, int kind, const wchar_t* plugin = nullptr) {
        const std::wstring folder = library + L"\\steamapps\\common\\" + GameKinds[kind].displayName;
        WriteFile(folder + L"\\bin\\win_x64\\" + GameKinds[kind].exeName, "MZ");
        if (plugin) {
            WriteFile(folder + L"\\bin\\win_x64\\plugins\\Kestrovane.dll",
                      ReadFile(std::wstring(KV_TESTDATA_DIR) + L"\\" + plugin));
        }
        return folder;
    }
};

// Steam's own folder first, then each library once by its normalised text; each library's
// games in table order.
TEST_F(Discovery, LibrariesInFileOrderAndGamesListedOnce) {
    const std::wstring steam = temp / L"Steam", lib = temp / L"Lib";
    // The user's value of another type reads as missing: the machine's value is taken.
    RegistrySandbox::SetText(registry.user, L"Software\\Valve\\Steam", L"SteamPath", temp / L"U", REG_MULTI_SZ);
    RegistrySandbox::SetText(registry.machine, L"SOFTWARE\\WOW6432Node\\Valve\\Steam", L"InstallPath", steam);
    // Forward slashes, a run of them and dot elements; a value across the reader's 64 KiB
    // chunks; UTF-8 text; nothing after the Ctrl+Z that ends text-mode reading.
    std::string lib8(lib.begin(), lib.end()), steam8(steam.begin(), steam.end());
    std::replace(lib8.begin(), lib8.end(), '\\', '/');
    WriteFile(steam + L"\\steamapps\\libraryfolders.vdf",
              std::string(65536 - 10, ' ') + "\"path\" \"" + lib8 + "\"\r\n\"path\" \"" + lib8 +
                  "//x/../../Lib\"\n\"path\" \"" + steam8 + "\"\n\"path\" \"D:\\\\Spi\xC3\xA9l\"\x1A\n\"path\" \"E:\"");
    EXPECT_EQ(FindSteamLibraries(), (std::vector<std::wstring>{steam, lib, L"D:\\Spi\u00E9l"}));
    // An empty user value is missing too; one that names a folder gone from disk still wins.
    for (const std::wstring& user : {temp / L"gone", std::wstring()}) {
        RegistrySandbox::SetText(registry.user, L"Software\\Valve\\Steam", L"SteamPath", user);
        EXPECT_EQ(FindSteamLibraries().front(), user.empty() ? steam : user);
    }
    Game(lib, 1);
    Game(lib, 0, L"plugin-1.9.12.dll");
    Game(steam, 1);
    DiscoverGames();
    ASSERT_EQ(state.games.size(), 3u);
    EXPECT_EQ(state.games[0].folder, steam + L"\\steamapps\\common\\Euro Truck Simulator 2");
    EXPECT_EQ(state.games[1].displayName, L"American Truck Simulator");
    EXPECT_EQ(state.games[1].installedVersion, L"1.9.12");
    EXPECT_EQ(state.games[2].exeName, L"eurotrucks2.exe");
}

TEST_F(Discovery, GameFolderRecognisedByItsExecutable) {
    GameEntry entry;
    entry.checked = false;
    // The folder name does not matter: the executable decides, and the path takes its on-disk spelling.
    const std::wstring folder = Game(temp.path, 1, L"plugin-1.10.2.7.dll");
    std::wstring renamed = temp / L"steamapps\\common\\ATS";
    MoveFileW(folder.c_str(), renamed.c_str());
    WriteFile(renamed + L"\\bin\\win_x64\\plugins\\Quillon.dll", "old");
    ASSERT_TRUE(ScanGameFolder(temp / L"STEAMAPPS\\common\\ATS\\", entry));
    EXPECT_EQ(entry.displayName, L"Euro Truck Simulator 2");
    EXPECT_EQ(entry.folder, renamed);
    EXPECT_EQ(entry.installedVersion, L"1.10.2"); // the product version, three parts
    EXPECT_TRUE(entry.pluginPresent && entry.oldPluginPresent && !entry.checked);

    WriteFile(renamed + L"\\bin\\win_x64\\plugins\\Kestrovane.dll", "no version resource");
    ASSERT_TRUE(ScanGameFolder(renamed, entry));
    EXPECT_TRUE(entry.pluginPresent);
    EXPECT_EQ(entry.installedVersion, L"");
    EXPECT_FALSE(ScanGameFolder(renamed + L"\\bin", entry));
    // With both executables it is the first game of the table, whatever kind of entry its executable is.
    CreateDirectoryW((renamed + L"\\bin\\win_x64\\amtrucks.exe").c_str(), nullptr);
    ASSERT_TRUE(ScanGameFolder(renamed, entry));
    EXPECT_EQ(entry.displayName, L"American Truck Simulator");
}

// The chosen folder, its grandparent, then its parent; an already listed game is not added twice.
TEST_F(Discovery, ChosenFolderFoundFromTheGameOrItsBinFolders) {
    const std::wstring ats = Game(temp.path, 0), ets = Game(temp / L"2", 1);
    AddChosenFolder((ats + L"\\bin\\win_x64").c_str());
    AddChosenFolder((ets + L"\\bin\\win_x64\\plugins").c_str());
    AddChosenFolder(temp.path.c_str());
    EXPECT_EQ(state.statusText, GetText(NotAGameFolder));
    AddChosenFolder((ets + L"\\bin").c_str());
    AddChosenFolder((ats + L"\\BIN\\..").c_str());
    ASSERT_EQ(state.games.size(), 2u);
    EXPECT_EQ(state.games[1].folder, ets);
    EXPECT_TRUE(state.statusText.empty()); // a good pick clears the rejection
}
