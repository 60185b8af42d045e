#include <gtest/gtest.h>

#include "install/removal.h"
#include "install_support.h"

namespace {

using namespace kvtest;

TEST(IsPluginFileLocked, OnlyAHeldLibraryCountsAsLocked) {
    TempFolder temp;
    GameEntry game = MakeGame(temp.path(), 1);
    EXPECT_FALSE(IsPluginFileLocked(game)) << "no plugins folder";
    fs::create_directories(PluginsOf(game));
    EXPECT_FALSE(IsPluginFileLocked(game)) << "no library";
    EXPECT_FALSE(Exists(PluginsOf(game) / L"Kestrovane.dll")) << "the probe must not create the library";

    const fs::path library = PluginsOf(game) / L"Kestrovane.dll";
    WriteFile(library, "MZ library");
    EXPECT_FALSE(IsPluginFileLocked(game));
    EXPECT_EQ(ReadFile(library), "MZ library");

    // Held in this process, even with every kind of sharing allowed.
    HANDLE handle = CreateFileW(library.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(IsPluginFileLocked(game));
    CloseHandle(handle);
    EXPECT_FALSE(IsPluginFileLocked(game));
}

TEST(IsPluginFileLocked, SeesAHoldOfAnotherProcess) {
    TempFolder temp;
    GameEntry game = MakeGame(temp.path(), 0);
    const fs::path library = PluginsOf(game) / L"Kestrovane.dll";
    WriteFile(library, "MZ library");
    {
        HoldingProcess holder(library, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        ASSERT_TRUE(holder.ready());
        EXPECT_TRUE(IsPluginFileLocked(game));
    }
    EXPECT_FALSE(IsPluginFileLocked(game));
    EXPECT_EQ(ReadFile(library), "MZ library");
}

TEST(RemovePluginFromGame, RemovesLibraryAndProductFolderOnly) {
    TempFolder temp;
    GameEntry game = MakeGame(temp.path(), 1);
    const fs::path plugins = PluginsOf(game);
    WriteFile(plugins / L"Kestrovane.dll", "MZ");
    SetFileAttributesW((plugins / L"Kestrovane.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteFile(plugins / L"Kestrovane" / L"sounds" / L"door_open.wav", "RIFF");
    WriteFile(plugins / L"Kestrovane" / L"sounds" / L"door_close.wav", "RIFF");
    WriteFile(plugins / L"Kestrovane" / L"profile" / L"seat.cfg", "x");
    WriteFile(plugins / L"Quillon.dll", "MZ old");
    WriteFile(plugins / L"other_plugin.dll", "MZ other");

    EXPECT_EQ(RemovePluginFromGame(game), L"");
    EXPECT_FALSE(Exists(plugins / L"Kestrovane.dll"));
    EXPECT_FALSE(Exists(plugins / L"Kestrovane"));
    EXPECT_EQ(ReadFile(plugins / L"Quillon.dll"), "MZ old");
    EXPECT_EQ(ReadFile(plugins / L"other_plugin.dll"), "MZ other");

    // Again, with nothing left: still success. A leftover product folder goes too.
    EXPECT_EQ(RemovePluginFromGame(game), L"");
    WriteFile(plugins / L"Kestrovane" / L"sounds" / L"door_open.wav", "RIFF");
    EXPECT_EQ(RemovePluginFromGame(game), L"");
    EXPECT_FALSE(Exists(plugins / L"Kestrovane"));
}

TEST(RemovePluginFromGame, ALibraryThatCannotGoFailsTheGameAndKeepsTheProductFolder) {
    TempFolder temp;
    GameEntry game = MakeGame(temp.path(), 0);
    const fs::path plugins = PluginsOf(game);
    // A non-empty folder in the library's place cannot be deleted as a file.
    WriteFile(plugins / L"Kestrovane.dll" / L"inside", "x");
    WriteFile(plugins / L"Kestrovane" / L"sounds" / L"door_open.wav", "RIFF");
    EXPECT_EQ(RemovePluginFromGame(game), L"American Truck Simulator");
    EXPECT_TRUE(Exists(plugins / L"Kestrovane" / L"sounds" / L"door_open.wav"));

    // A library held open without delete sharing, as a loaded module is.
    std::error_code ec;
    fs::remove_all(plugins / L"Kestrovane.dll", ec);
    WriteFile(plugins / L"Kestrovane.dll", "MZ");
    HANDLE handle = CreateFileW((plugins / L"Kestrovane.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(RemovePluginFromGame(game), L"American Truck Simulator");
    CloseHandle(handle);
    EXPECT_TRUE(Exists(plugins / L"Kestrovane" / L"sounds" / L"door_open.wav"));
    EXPECT_EQ(RemovePluginFromGame(game), L"");
}

} // namespace
