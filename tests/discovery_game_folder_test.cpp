#include <gtest/gtest.h>

#include <windows.h>

#include <cwctype>

#include "app/product_files.h"
#include "app/state.h"
#include "discovery/game_folder.h"
#include "discovery_support.h"

namespace {

std::filesystem::path TestPlugin(const wchar_t* name) {
    return std::filesystem::path(KV_TESTDATA_DIR).make_preferred() / name;
}

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    return text;
}

class GameFolder : public testing::Test {
protected:
    std::filesystem::path Game(const wchar_t* name, const wchar_t* exeName) {
        std::filesystem::path folder = temp / L"steamapps" / L"common" / name;
        MakeGameFolder(folder, exeName);
        return folder;
    }
    // The plug-in folder of a game, with the given test library installed as the plug-in.
    void InstallPlugin(const std::filesystem::path& folder, const wchar_t* testPlugin) {
        std::filesystem::path plugins = folder / L"bin" / L"win_x64" / L"plugins";
        std::filesystem::create_directories(plugins);
        ASSERT_TRUE(CopyFileW(TestPlugin(testPlugin).c_str(), (plugins / L"Kestrovane.dll").c_str(), FALSE))
            << "missing test library " << TestPlugin(testPlugin);
    }
    GameEntry Scan(const std::filesystem::path& folder) {
        GameEntry entry;
        EXPECT_TRUE(ScanGameFolder(folder, entry)) << folder;
        return entry;
    }
    TempFolder temp;
};

TEST_F(GameFolder, TheExecutableDecidesTheGame) {
    GameEntry entry = Scan(Game(L"American Truck Simulator", L"amtrucks.exe"));
    EXPECT_EQ(entry.displayName, L"American Truck Simulator");
    EXPECT_EQ(entry.exeName, L"amtrucks.exe");

    entry = Scan(Game(L"Some Folder", L"eurotrucks2.exe"));
    EXPECT_EQ(entry.displayName, L"Euro Truck Simulator 2");
    EXPECT_EQ(entry.exeName, L"eurotrucks2.exe");

    // Named for one game, holding the other.
    entry = Scan(Game(L"Named Wrong", L"eurotrucks2.exe"));
    EXPECT_EQ(entry.displayName, L"Euro Truck Simulator 2");

    // Both executables: the first game of the table wins.
    std::filesystem::path both = Game(L"Both", L"eurotrucks2.exe");
    MakeGameFolder(both, L"amtrucks.exe");
    EXPECT_EQ(Scan(both).displayName, L"American Truck Simulator");

    // Any kind of entry counts, a folder named like the executable included.
    std::filesystem::path odd = temp / L"odd";
    std::filesystem::create_directories(odd / L"bin" / L"win_x64" / L"amtrucks.exe");
    EXPECT_EQ(Scan(odd).displayName, L"American Truck Simulator");
}

TEST_F(GameFolder, NotAGameLeavesTheEntryAlone) {
    std::filesystem::path empty = temp / L"empty";
    std::filesystem::create_directories(empty / L"bin" / L"win_x64" / L"plugins");
    WriteBytes(empty / L"amtrucks.exe", "MZ"); // in the wrong place
    WriteBytes(empty / L"bin" / L"win_x64" / L"plugins" / L"Kestrovane.dll", "MZ");

    GameEntry entry;
    entry.displayName = L"keep";
    entry.folder = L"keep";
    entry.checked = false;
    entry.installedVersion = L"9.9.9";
    for (const std::filesystem::path& candidate : {empty, temp / L"missing", std::filesystem::path()}) {
        EXPECT_FALSE(ScanGameFolder(candidate, entry)) << candidate;
        EXPECT_EQ(entry.displayName, L"keep");
        EXPECT_EQ(entry.exeName, L"");
        EXPECT_EQ(entry.folder, L"keep");
        EXPECT_FALSE(entry.checked);
        EXPECT_FALSE(entry.pluginPresent);
        EXPECT_EQ(entry.installedVersion, L"9.9.9");
    }
}

TEST_F(GameFolder, FolderIsSettledToItsStoredSpelling) {
    std::filesystem::path folder = Game(L"Euro Truck Simulator 2", L"eurotrucks2.exe");
    std::wstring stored = Scan(folder).folder;
    EXPECT_TRUE(stored.ends_with(L"\\steamapps\\common\\Euro Truck Simulator 2")) << stored;
    EXPECT_FALSE(stored.starts_with(L"\\\\?\\")) << stored;
    EXPECT_EQ(Scan(Upper(folder.native()) + L"\\").folder, stored);
    EXPECT_EQ(Scan(folder / L"bin" / L"..").folder, stored);
    EXPECT_EQ(PluginFolderPath(Scan(folder).folder), std::filesystem::path(stored + L"\\bin\\win_x64\\plugins"));
}

TEST_F(GameFolder, PluginVersionFromTheInstalledLibrary) {
    struct Case {
        const wchar_t* library;
        const wchar_t* version;
        PluginStatus status;
    } cases[] = {
        {L"plugin-1.9.12.dll", L"1.9.12", PluginStatus::UpdateNeeded},
        {L"plugin-1.10.2.7.dll", L"1.10.2", PluginStatus::SameVersion}, // fourth part and file version ignored
        {L"plugin-1.10.3.dll", L"1.10.3", PluginStatus::NewerInstalled},
        {L"plugin-2.0.0.dll", L"2.0.0", PluginStatus::NewerInstalled},
        {L"plugin-noversion.dll", L"", PluginStatus::UpdateNeeded},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.library);
        TempFolder scratch;
        std::filesystem::path folder = scratch / L"game";
        MakeGameFolder(folder, L"amtrucks.exe");
        InstallPlugin(folder, c.library);
        GameEntry entry = Scan(folder);
        EXPECT_TRUE(entry.pluginPresent);
        EXPECT_FALSE(entry.oldPluginPresent);
        EXPECT_EQ(entry.installedVersion, c.version);
        EXPECT_EQ(GetPluginStatus(entry), c.status);
    }
    EXPECT_EQ(ReadPluginVersion(temp / L"missing.dll"), L"");
    EXPECT_EQ(ReadPluginVersion(temp.path()), L"");
}

TEST_F(GameFolder, PredecessorIsRecordedBesideThePlugin) {
    std::filesystem::path folder = Game(L"American Truck Simulator", L"amtrucks.exe");
    std::filesystem::path plugins = folder / L"bin" / L"win_x64" / L"plugins";
    WriteBytes(plugins / L"Quillon.dll", "MZ");
    GameEntry entry = Scan(folder);
    EXPECT_FALSE(entry.pluginPresent);
    EXPECT_TRUE(entry.oldPluginPresent);
    EXPECT_EQ(entry.installedVersion, L"");
    EXPECT_EQ(GetPluginStatus(entry), PluginStatus::UpdateNeeded);

    InstallPlugin(folder, L"plugin-1.10.2.7.dll");
    entry = Scan(folder);
    EXPECT_TRUE(entry.pluginPresent);
    EXPECT_TRUE(entry.oldPluginPresent);
    EXPECT_EQ(GetPluginStatus(entry), PluginStatus::SameVersion);

    // Something that cannot be loaded but is there: present, without a version.
    std::filesystem::remove(plugins / L"Kestrovane.dll");
    std::filesystem::create_directories(plugins / L"Kestrovane.dll");
    entry = Scan(folder);
    EXPECT_TRUE(entry.pluginPresent);
    EXPECT_EQ(entry.installedVersion, L"");
}

TEST_F(GameFolder, ButtonLabelFollowsTheGameList) {
    GameEntry same;
    same.pluginPresent = true;
    same.installedVersion = InstallerVersion;
    GameEntry old = same;
    old.installedVersion = L"1.9.12";
    state.games = {same, same};
    EXPECT_EQ(ButtonLabelId(), ReinstallLabel);
    state.games.push_back(old);
    EXPECT_EQ(ButtonLabelId(), UpdateLabel);
    state.games.back().checked = false;
    EXPECT_EQ(ButtonLabelId(), ReinstallLabel);
    state.games.push_back(GameEntry{});
    EXPECT_EQ(ButtonLabelId(), InstallLabel);
    state.games.clear();
}

} // namespace
