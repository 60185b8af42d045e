#include <gtest/gtest.h>

#include <thread>

#include "app/state.h"
#include "discovery/folder_dialog.h"
#include "install_support.h"

namespace {

using namespace kvtest;

class FolderDialog : public ::testing::Test {
protected:
    FolderDialog() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        state = InstallerState();
        state.window =
            CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
        common_ = temp_.path() / L"Steam" / L"steamapps" / L"common";
        game_ = MakeGame(common_, 1);
    }
    ~FolderDialog() override {
        DestroyWindow(state.window);
        state = InstallerState();
        CoUninitialize();
    }

    void Choose(const fs::path& folder) {
        std::thread user(AnswerFolderPicker, folder.native());
        ChooseGameFolder();
        user.join();
    }
    void ExpectTheGameListed() {
        ASSERT_EQ(state.games.size(), 1u);
        EXPECT_EQ(state.games[0].displayName, L"Euro Truck Simulator 2");
        EXPECT_TRUE(state.games[0].checked);
        EXPECT_TRUE(SameFile(state.games[0].folder, game_.folder));
        EXPECT_EQ(state.statusText, L"");
        EXPECT_EQ(state.statusColor, StatusColorInfo);
    }

    TempFolder temp_;
    fs::path common_;
    GameEntry game_;
};

TEST_F(FolderDialog, FindsTheGameFromItsFolderItsBinOrItsBinWin64) {
    const fs::path folder = game_.folder;
    for (const fs::path& chosen : {folder, folder / L"bin", folder / L"bin" / L"win_x64"}) {
        state.games.clear();
        SetStatus(L"an earlier error", StatusColorError);
        Choose(chosen);
        SCOPED_TRACE(chosen.string());
        ExpectTheGameListed();
    }
}

TEST_F(FolderDialog, RejectsPluginsAndAFolderOfGames) {
    std::error_code ec;
    fs::create_directories(fs::path(game_.folder) / L"bin" / L"win_x64" / L"plugins", ec);
    for (const fs::path& chosen : {fs::path(game_.folder) / L"bin" / L"win_x64" / L"plugins", common_}) {
        SetStatus(L"", StatusColorInfo);
        Choose(chosen);
        SCOPED_TRACE(chosen.string());
        EXPECT_TRUE(state.games.empty());
        EXPECT_EQ(state.statusText, L"This folder is not American Truck Simulator or Euro Truck Simulator 2.");
        EXPECT_EQ(state.statusColor, StatusColorError);
    }
}

TEST_F(FolderDialog, CancelAndAnotherSpellingOfAListedGameChangeNothing) {
    Choose(game_.folder);
    ExpectTheGameListed();

    SetStatus(L"kept", StatusColorError);
    Choose(L"");
    EXPECT_EQ(state.games.size(), 1u);
    EXPECT_EQ(state.statusText, L"kept");

    // Upper case and a detour through bin: the same folder on disk.
    std::wstring other = (fs::path(game_.folder) / L"bin" / L"..").native();
    for (wchar_t& c : other) {
        c = towupper(c);
    }
    Choose(other);
    ExpectTheGameListed();
}

} // namespace
