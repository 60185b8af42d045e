#include <gtest/gtest.h>

#include <windows.h>

#include <cwctype>
#include <string>
#include <vector>

#include "app/state.h"
#include "discovery/steam_libraries.h"
#include "discovery_support.h"

namespace {

using Paths = std::vector<std::wstring>;

std::filesystem::path LinkFixture() {
    return std::filesystem::path(KV_LINK_FIXTURE).make_preferred();
}

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    return text;
}

// A library entry as Steam writes it: every backslash doubled. The paths here are ASCII.
std::string VdfPath(std::wstring_view path) {
    std::string line = "\t\t\"path\"\t\t\"";
    for (wchar_t c : path) {
        line += static_cast<char>(c);
        if (c == L'\\') {
            line += '\\';
        }
    }
    return line + "\"\n";
}

class SteamDiscovery : public testing::Test {
protected:
    void SetUp() override {
        steam = temp / L"Steam";
        std::filesystem::create_directories(steam);
        state.games.clear();
    }
    void TearDown() override { state.games.clear(); }

    void WriteLibraryFile(const std::vector<std::wstring>& libraries) {
        std::string text = "\"libraryfolders\"\n{\n";
        for (size_t i = 0; i < libraries.size(); ++i) {
            text += "\t\"" + std::to_string(i) + "\"\n\t{\n" + VdfPath(libraries[i]) + "\t\t\"label\"\t\t\"\"\n\t}\n";
        }
        WriteBytes(steam / L"steamapps" / L"libraryfolders.vdf", text + "}\n");
    }
    std::filesystem::path AddGame(const std::filesystem::path& library, const wchar_t* folderName,
                                  const wchar_t* exeName) {
        std::filesystem::path folder = library / L"steamapps" / L"common" / folderName;
        MakeGameFolder(folder, exeName);
        return folder;
    }
    std::vector<std::wstring> GameNames() {
        std::vector<std::wstring> names;
        for (const GameEntry& game : state.games) {
            names.push_back(game.displayName);
        }
        return names;
    }

    TempFolder temp;
    RegistrySandbox registry;
    std::filesystem::path steam;
};

TEST_F(SteamDiscovery, RegistrySourcesInOrder) {
    EXPECT_TRUE(FindSteamLibraries().empty());

    RegistrySandbox::SetInstallPath(L"D:\\Machine\\Steam");
    EXPECT_EQ(FindSteamLibraries(), Paths{L"D:\\Machine\\Steam"});

    // The user's value wins even when it names a folder that is gone.
    RegistrySandbox::SetSteamPath(L"c:/users/gone/steam");
    EXPECT_EQ(FindSteamLibraries(), Paths{L"c:\\users\\gone\\steam"});

    // Empty, wrong type or too long: the machine's value is read instead.
    RegistrySandbox::SetSteamPath(L"");
    EXPECT_EQ(FindSteamLibraries(), Paths{L"D:\\Machine\\Steam"});
    DWORD number = 1;
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Valve\\Steam", L"SteamPath", REG_DWORD, &number, sizeof(number));
    EXPECT_EQ(FindSteamLibraries(), Paths{L"D:\\Machine\\Steam"});

    std::wstring longest = L"E:\\" + std::wstring(516, L'x'); // 519 characters fit the buffer
    RegistrySandbox::SetSteamPath(longest);
    EXPECT_EQ(FindSteamLibraries(), Paths{longest});
    RegistrySandbox::SetSteamPath(longest + L"y");
    EXPECT_EQ(FindSteamLibraries(), Paths{L"D:\\Machine\\Steam"});

    SetEnvironmentVariableW(L"KV_TEST_DRIVE", L"F:");
    RegistrySandbox::SetSteamPath(L"%KV_TEST_DRIVE%\\Steam", REG_EXPAND_SZ);
    EXPECT_EQ(FindSteamLibraries(), Paths{L"F:\\Steam"});
}

TEST_F(SteamDiscovery, LibrariesAreNormalisedAndComparedAsText) {
    RegistrySandbox::SetSteamPath(steam.native());
    std::wstring root = steam.native();
    WriteLibraryFile({
        root,                          // Steam's own folder again
        L"D:\\Games\\.\\Lib\\..\\Lib", // normalises to D:\Games\Lib
        L"D:/Games/Lib",               // the same with forward slashes
        L"D:\\\\Games\\Lib",           // and with a doubled separator (four in the file)
        L"D:\\Games\\Lib\\",           // a trailing separator makes it another text
        L"d:\\games\\lib",             // so does letter case
        L"\\\\nas\\share\\Lib",        // network paths keep their server
        L"\\nas\\share\\Lib",
    });
    Paths expected = {
        root, L"D:\\Games\\Lib", L"D:\\Games\\Lib\\", L"d:\\games\\lib", L"\\\\nas\\share\\Lib", L"\\nas\\share\\Lib"};
    EXPECT_EQ(FindSteamLibraries(), expected);
}

TEST_F(SteamDiscovery, GamesLibraryByLibraryInTableOrder) {
    std::filesystem::path first = temp / L"First";
    std::filesystem::path second = temp / L"Second";
    AddGame(steam, L"Euro Truck Simulator 2", L"eurotrucks2.exe");
    AddGame(second, L"American Truck Simulator", L"amtrucks.exe");
    AddGame(first, L"Euro Truck Simulator 2", L"eurotrucks2.exe");
    AddGame(first, L"American Truck Simulator", L"amtrucks.exe");
    // Named for one game, holding the other.
    AddGame(temp / L"Third", L"American Truck Simulator", L"eurotrucks2.exe");
    RegistrySandbox::SetSteamPath(steam.native());
    WriteLibraryFile({first.native(), (temp / L"Empty").native(), second.native(), (temp / L"Third").native()});

    DiscoverGames();
    std::vector<std::wstring> names = {L"Euro Truck Simulator 2", L"American Truck Simulator",
                                       L"Euro Truck Simulator 2", L"American Truck Simulator",
                                       L"Euro Truck Simulator 2"};
    EXPECT_EQ(GameNames(), names);
    ASSERT_EQ(state.games.size(), 5u);
    EXPECT_TRUE(state.games[0].folder.starts_with(L"C:\\") || state.games[0].folder.starts_with(L"c:\\"));
    EXPECT_TRUE(state.games[1].folder.ends_with(L"\\First\\steamapps\\common\\American Truck Simulator"));
    EXPECT_TRUE(state.games[3].folder.ends_with(L"\\Second\\steamapps\\common\\American Truck Simulator"));
    EXPECT_TRUE(state.games[4].folder.ends_with(L"\\Third\\steamapps\\common\\American Truck Simulator"));
    EXPECT_EQ(state.games[4].exeName, L"eurotrucks2.exe");
    for (const GameEntry& game : state.games) {
        EXPECT_TRUE(game.checked);
    }
}

TEST_F(SteamDiscovery, OneFolderReachedManyWaysIsListedOnce) {
    std::filesystem::path library = temp / L"Library With A Long Name";
    AddGame(library, L"American Truck Simulator", L"amtrucks.exe");
    AddGame(library, L"Euro Truck Simulator 2", L"eurotrucks2.exe");
    wchar_t shortName[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(library.c_str(), shortName, MAX_PATH), 0u);
    ASSERT_NE(std::wstring(shortName), library.native());
    RegistrySandbox::SetSteamPath(steam.native());
    WriteLibraryFile({library.native(), Upper(library.native()), library.native() + L"\\", shortName,
                      (LinkFixture() / L"library").native(), (LinkFixture() / L"library-link").native(),
                      (LinkFixture() / L"other").native()});

    EXPECT_EQ(FindSteamLibraries().size(), 8u); // all different as text
    DiscoverGames();
    std::vector<std::wstring> names = {L"American Truck Simulator", L"Euro Truck Simulator 2",
                                       L"Euro Truck Simulator 2"};
    ASSERT_EQ(GameNames(), names);
    EXPECT_TRUE(
        state.games[0].folder.ends_with(L"\\Library With A Long Name\\steamapps\\common\\American Truck Simulator"));
    // The linked copies resolve to the real folder.
    std::wstring linked = state.games[2].folder;
    EXPECT_TRUE(linked.ends_with(L"\\discovery-links\\library\\steamapps\\common\\Euro Truck Simulator 2")) << linked;
}

TEST_F(SteamDiscovery, NoSteamNoGames) {
    AddGame(steam, L"American Truck Simulator", L"amtrucks.exe");
    WriteLibraryFile({steam.native()});
    DiscoverGames();
    EXPECT_TRUE(state.games.empty());

    // A library file that is a folder, and Steam's folder without games: nothing either.
    std::filesystem::path bare = temp / L"Bare";
    std::filesystem::create_directories(bare / L"steamapps" / L"libraryfolders.vdf");
    RegistrySandbox::SetSteamPath(bare.native());
    EXPECT_EQ(FindSteamLibraries(), Paths{bare});
    DiscoverGames();
    EXPECT_TRUE(state.games.empty());
}

} // namespace
