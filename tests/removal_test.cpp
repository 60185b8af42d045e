#include <gtest/gtest.h>

#include "install/removal.h"
#include "install_support.h"

#include <shellapi.h>

namespace {

using namespace kvtest;

// Started as "<this test> --hold <file> <event>", the test program plays a running game:
// it holds the file open, sharing everything, until the event is set.
bool HoldFileWhenAsked() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count != 4 || std::wstring(args[1]) != L"--hold") {
        LocalFree(args);
        return false;
    }
    HANDLE file = CreateFileW(args[2], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, (std::wstring(args[3]) + L"-ready").c_str());
    HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, args[3]);
    SetEvent(ready);
    WaitForSingleObject(release, 30000);
    CloseHandle(file);
    ExitProcess(0);
}

const bool helperMode = HoldFileWhenAsked();

class HolderProcess {
public:
    explicit HolderProcess(const fs::path& file) {
        const std::wstring event = UniqueName(L"kv-hold");
        release_ = CreateEventW(nullptr, TRUE, FALSE, event.c_str());
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, (event + L"-ready").c_str());
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring command = L"\"" + std::wstring(self) + L"\" --hold \"" + file.native() + L"\" " + event;
        STARTUPINFOW startup = {sizeof startup};
        PROCESS_INFORMATION process = {};
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            CloseHandle(process.hThread);
            process_ = process.hProcess;
            ready_ = WaitForSingleObject(ready, 20000) == WAIT_OBJECT_0;
        }
        CloseHandle(ready);
    }
    ~HolderProcess() {
        SetEvent(release_);
        if (process_) {
            WaitForSingleObject(process_, 20000);
            CloseHandle(process_);
        }
        CloseHandle(release_);
    }
    bool ready() const { return ready_; }

private:
    HANDLE release_ = nullptr;
    HANDLE process_ = nullptr;
    bool ready_ = false;
};

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
        HolderProcess holder(library);
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
