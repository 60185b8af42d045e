// What gamers' machines really hold: library files and folders that Steam, other tools and
// years of drive changes left behind. Each case ends in a status line or in silence, with
// no user file lost.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "app/state.h"
#include "discovery/steam_libraries.h"
#include "install/registration.h"
#include "install/sequences.h"
#include "install_support.h"

namespace {

using namespace kvtest;

const std::wstring WriteFailedStart = L"Could not write to the game folder: ";
const std::wstring RunAsAdministratorEnd = L". Run the installer as administrator to write to this folder.";
const std::wstring DoneInstalled = L"Done! Start the game and press Ctrl+F10 to get out of the truck.";
const std::wstring Removed = L"Kestrovane was removed.";

// Windows code under Wine can neither make nor delete a link: the Linux tools do it. The
// tool's process ending says nothing about when its effect shows, so wait for the effect.
void RunLinuxTool(const std::wstring& commandLine, const fs::path& watched, bool wanted) {
    std::wstring command = commandLine;
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (int i = 0; i < 200 && Exists(watched) != wanted; ++i) {
        Sleep(25);
    }
}

// A library line as Steam writes it: UTF-8, every backslash doubled.
std::string VdfPathLine(const fs::path& library) {
    const std::wstring& wide = library.native();
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), utf8.data(), size, nullptr, nullptr);
    std::string line = "\t\t\"path\"\t\t\"";
    for (char c : utf8) {
        line += c;
        if (c == '\\') {
            line += '\\';
        }
    }
    return line + "\"";
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A Steam folder in a throwaway folder named by SteamPath, the uninstall entry in private
// keys and the installer copy's folder redirected.
class Hostile : public ::testing::Test {
protected:
    Hostile() : registry_(temp_.path() / L"local") {
        std::error_code ec;
        fs::create_directories(temp_.path() / L"local", ec);
        steam_ = temp_.path() / L"Steam";
        fs::create_directories(steam_ / L"steamapps", ec);
        SetSteamPath(steam_.native());
        state = InstallerState();
    }
    ~Hostile() override {
        ForgetPendingRenamesBelow(temp_.path());
        state = InstallerState();
    }

    static void SetSteamPath(const std::wstring& text) {
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Valve\\Steam", L"SteamPath", REG_SZ, text.c_str(),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    fs::path LibraryFile() const { return steam_ / L"steamapps" / L"libraryfolders.vdf"; }
    static fs::path Common(const fs::path& library) { return library / L"steamapps" / L"common"; }

    static fs::path Plugins(const GameEntry& entry) { return PluginsOf(entry); }
    static bool Registered() { return KeyExists(HKEY_CURRENT_USER, UninstallKeyPath); }
    bool CopyKept() const { return Exists(temp_.path() / L"local" / L"Kestrovane" / L"Kestrovane-Setup.exe"); }

    static void ExpectInstalled(const GameEntry& entry) {
        SCOPED_TRACE(fs::path(entry.folder).string());
        EXPECT_EQ(ReadFile(Plugins(entry) / L"Kestrovane.dll"), ReadFile(fs::path(KV_PAYLOAD_DIR) / L"Kestrovane.dll"));
        EXPECT_EQ(ReadFile(Plugins(entry) / L"Kestrovane" / L"sounds" / L"door_open.wav"),
                  ReadFile(fs::path(KV_PAYLOAD_DIR) / L"door_open.wav"));
        EXPECT_EQ(ReadFile(Plugins(entry) / L"Kestrovane" / L"sounds" / L"door_close.wav"),
                  ReadFile(fs::path(KV_PAYLOAD_DIR) / L"door_close.wav"));
        EXPECT_TRUE(entry.pluginPresent);
        EXPECT_EQ(entry.installedVersion, L"1.10.2");
    }
    static void ExpectRemoved(const GameEntry& entry) {
        SCOPED_TRACE(fs::path(entry.folder).string());
        EXPECT_FALSE(Exists(Plugins(entry) / L"Kestrovane.dll"));
        EXPECT_FALSE(Exists(Plugins(entry) / L"Kestrovane" / L"sounds"));
        EXPECT_FALSE(entry.pluginPresent);
    }
    static void ExpectStatus(const std::wstring& text, Color color) {
        EXPECT_EQ(state.statusText, text);
        EXPECT_EQ(state.statusColor, color);
    }

    // The whole round that a user makes: install every listed game, then (as the copy
    // started with /uninstall would) remove it again.
    void InstallThenUninstall() {
        RunInstallSequence();
        ExpectStatus(DoneInstalled, StatusColorSuccess);
        for (const GameEntry& entry : state.games) {
            ExpectInstalled(entry);
        }
        EXPECT_TRUE(Registered());
        state.uninstallMode = true;
        state.finished = false;
        RunUninstallSequence();
        ExpectStatus(Removed, StatusColorSuccess);
        for (const GameEntry& entry : state.games) {
            ExpectRemoved(entry);
        }
        EXPECT_FALSE(Registered());
    }

    TempFolder temp_;
    RegistrySandbox registry_;
    fs::path steam_;
};

TEST_F(Hostile, FiftyMegabyteLibraryFileWithoutANewline) {
    MakeGame(Common(steam_), 0);
    const fs::path other = temp_.path() / L"Other Library";
    MakeGame(Common(other), 1);
    const auto discover = [this](std::string text) {
        WriteFile(LibraryFile(), text);
        text = std::string();
        state.games.clear();
        const auto start = std::chrono::steady_clock::now();
        const std::vector<std::wstring> libraries = FindSteamLibraries();
        DiscoverGames();
        const double seconds = SecondsSince(start);
        std::printf("50 MB library file without a newline: %zu libraries, %zu games in %.2f s\n", libraries.size(),
                    state.games.size(), seconds);
        EXPECT_LT(seconds, 15.0);
        return libraries;
    };

    // One line with a single library key in its middle and no quote after it.
    std::vector<std::wstring> libraries =
        discover(std::string(25 << 20, 'x') + VdfPathLine(other) + std::string(25 << 20, 'y'));
    ASSERT_EQ(libraries.size(), 2u);
    EXPECT_EQ(libraries[0], steam_);
    EXPECT_EQ(libraries[1], other);
    ASSERT_EQ(state.games.size(), 2u);
    EXPECT_EQ(state.games[0].displayName, L"American Truck Simulator");
    EXPECT_EQ(state.games[1].displayName, L"Euro Truck Simulator 2");

    // A damaged file whose last byte is a quote: the value runs over the whole line, far
    // past any path Windows can open. It names no library, and costs no time on every join.
    libraries = discover("\"path\"\t\t\"" + std::string(50 << 20, 'z') + "\"");
    ASSERT_EQ(libraries.size(), 1u);
    EXPECT_EQ(libraries[0], steam_);
    ASSERT_EQ(state.games.size(), 1u);
    EXPECT_EQ(state.games[0].displayName, L"American Truck Simulator");
}

TEST_F(Hostile, LibraryFileThatIsAFolderLeavesSteamsOwnFolder) {
    WriteFile(LibraryFile() / L"0.vdf", "\"path\" \"D:\\\\Elsewhere\"\n");
    const GameEntry game = MakeGame(Common(steam_), 1);

    const std::vector<std::wstring> libraries = FindSteamLibraries();
    ASSERT_EQ(libraries.size(), 1u);
    EXPECT_EQ(libraries[0], steam_);
    DiscoverGames();
    ASSERT_EQ(state.games.size(), 1u);
    EXPECT_TRUE(SameFile(state.games[0].folder, game.folder));
    EXPECT_EQ(state.statusText, L"");
}

TEST_F(Hostile, SteamPathIntoAFileFindsNothingAndDoesNotHoldBackUnregistering) {
    const fs::path file = temp_.path() / L"file.txt";
    WriteFile(file, "not a folder");
    const fs::path inside = file / L"sub";
    SetSteamPath(inside.native());

    const std::vector<std::wstring> libraries = FindSteamLibraries();
    ASSERT_EQ(libraries.size(), 1u);
    EXPECT_EQ(libraries[0], inside);
    DiscoverGames();
    EXPECT_TRUE(state.games.empty());
    EXPECT_EQ(state.statusText, L"");

    // A game added by hand: the leftover check looks below the file, finds nothing there
    // and lets the uninstall unregister the product.
    state.games.push_back(MakeGame(temp_.path() / L"Games", 1));
    InstallThenUninstall();
    EXPECT_EQ(ReadFile(file), "not a folder");
}

TEST_F(Hostile, GameExecutableThatIsAFolderIsStillTheGame) {
    const fs::path folder = Common(steam_) / L"American Truck Simulator";
    WriteFile(folder / L"bin" / L"win_x64" / L"amtrucks.exe" / L"readme.txt", "a folder, not a program");

    DiscoverGames();
    ASSERT_EQ(state.games.size(), 1u);
    EXPECT_EQ(state.games[0].displayName, L"American Truck Simulator");
    EXPECT_TRUE(SameFile(state.games[0].folder, folder));
    InstallThenUninstall();
    EXPECT_EQ(ReadFile(folder / L"bin" / L"win_x64" / L"amtrucks.exe" / L"readme.txt"), "a folder, not a program");
}

TEST_F(Hostile, PluginLibraryThatIsAFolderFailsOnlyItsGameAndNothingIsRegistered) {
    const GameEntry american = MakeGame(Common(steam_), 0);
    MakeGame(Common(steam_), 1);
    const fs::path blocking = Plugins(american) / L"Kestrovane.dll";
    WriteFile(blocking / L"notes.txt", "the user's notes");

    DiscoverGames();
    ASSERT_EQ(state.games.size(), 2u);
    // A folder counts as a present library without version information.
    EXPECT_TRUE(state.games[0].pluginPresent);
    EXPECT_EQ(state.games[0].installedVersion, L"");

    RunInstallSequence();
    // The probe must not take the folder for a running game.
    ExpectStatus(WriteFailedStart + L"American Truck Simulator" + RunAsAdministratorEnd, StatusColorError);
    EXPECT_FALSE(state.finished);
    ExpectInstalled(state.games[1]);
    EXPECT_EQ(state.games[0].installedVersion, L"");
    EXPECT_EQ(ReadFile(blocking / L"notes.txt"), "the user's notes");
    EXPECT_FALSE(Registered());
    EXPECT_FALSE(CopyKept());
}

TEST_F(Hostile, SoundHeldByAnotherProcessFailsItsGameAfterItsLibraryWasWritten) {
    state.games.push_back(MakeGame(Common(steam_), 0));
    state.games.push_back(MakeGame(Common(steam_), 1));
    const GameEntry& euro = state.games[1];
    const fs::path held = Plugins(euro) / L"Kestrovane" / L"sounds" / L"door_close.wav";
    WriteFile(held, "RIFF the user's own sound");
    HoldingProcess reader(held, FILE_SHARE_READ);
    ASSERT_TRUE(reader.ready());

    const auto start = std::chrono::steady_clock::now();
    RunInstallSequence();
    EXPECT_LT(SecondsSince(start), 10.0);
    ExpectStatus(WriteFailedStart + L"Euro Truck Simulator 2" + RunAsAdministratorEnd, StatusColorError);
    ExpectInstalled(state.games[0]);
    EXPECT_EQ(ReadFile(Plugins(euro) / L"Kestrovane.dll"), ReadFile(fs::path(KV_PAYLOAD_DIR) / L"Kestrovane.dll"));
    EXPECT_EQ(ReadFile(held), "RIFF the user's own sound");
    EXPECT_FALSE(euro.pluginPresent) << "a failed game keeps its previous state";
    EXPECT_FALSE(Registered());

    // Once the other program lets go, pressing the button again finishes the job.
    reader.Stop();
    RunInstallSequence();
    ExpectStatus(DoneInstalled, StatusColorSuccess);
    ExpectInstalled(euro);
    EXPECT_TRUE(Registered());
}

TEST_F(Hostile, NonAsciiAndLongGameFolderPathsAreFoundInstalledAndRemoved) {
    const fs::path accented = temp_.path() / L"Jogos A\u00e7\u00e3o" / L"\u00dcn\u00efc\u00f6d\u00e9 \u65e5\u672c";
    // Long enough that the game folder alone passes 260 characters, and its files 300.
    fs::path deep = temp_.path();
    while (deep.native().size() < 230) {
        deep /= L"Steam Library Moved From An Old Drive";
    }
    const GameEntry euro = MakeGame(Common(accented), 1);
    const GameEntry american = MakeGame(Common(deep), 0);
    ASSERT_GE(american.folder.size(), 260u);
    ASSERT_TRUE(Exists(fs::path(american.folder) / L"bin" / L"win_x64" / L"amtrucks.exe"));
    WriteFile(LibraryFile(), "\"libraryfolders\"\n{\n\t\"1\"\n\t{\n" + VdfPathLine(accented) + "\n\t}\n\t\"2\"\n\t{\n" +
                                 VdfPathLine(deep) + "\n\t}\n}\n");

    DiscoverGames();
    ASSERT_EQ(state.games.size(), 2u);
    EXPECT_EQ(state.games[0].folder, euro.folder);
    EXPECT_EQ(state.games[1].folder, american.folder);
    InstallThenUninstall();
}

TEST_F(Hostile, LinkInTheProductFolderKeepsItsTargetsFilesOnUninstall) {
    if (!RunningUnderWine()) {
        GTEST_SKIP() << "links are made with the Linux tools";
    }
    state.games.push_back(MakeGame(Common(steam_), 1));
    RunInstallSequence();
    ExpectStatus(DoneInstalled, StatusColorSuccess);

    // A tool that keeps the user's data elsewhere and links it into the product folder.
    const fs::path target = temp_.path() / L"User Data";
    WriteFile(target / L"profile.sii", "the user's profile");
    WriteFile(target / L"saves" / L"slot1.sav", "a saved game");
    const fs::path link = Plugins(state.games[0]) / L"Kestrovane" / L"shared";
    RunLinuxTool(L"Z:\\bin\\ln -s \"" + UnixPath(target) + L"\" \"" + UnixPath(link) + L"\"", link, true);
    ASSERT_TRUE(GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);

    state.uninstallMode = true;
    state.finished = false;
    RunUninstallSequence();
    ExpectStatus(Removed, StatusColorSuccess);
    ExpectRemoved(state.games[0]);
    EXPECT_FALSE(Registered());
    EXPECT_EQ(ReadFile(target / L"profile.sii"), "the user's profile");
    EXPECT_EQ(ReadFile(target / L"saves" / L"slot1.sav"), "a saved game");

    // Windows removes the link itself; Wine cannot, so take it away from Linux before the
    // temp folder goes.
    RunLinuxTool(L"Z:\\bin\\rm -f \"" + UnixPath(link) + L"\"", link, false);
    EXPECT_EQ(ReadFile(target / L"profile.sii"), "the user's profile");
}

} // namespace
