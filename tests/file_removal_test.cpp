#include <gtest/gtest.h>

#include "discovery/file_system.h"
#include "install_support.h"

namespace {

using namespace kvtest;

// Wine can neither create nor delete a link from Windows code, so links are made and
// unmade by running the Linux tools. Waiting for a Linux process does not tell when it is
// done: the caller waits for the effect.
bool RunLinuxTool(const std::wstring& commandLine) {
    std::wstring command = commandLine;
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void WaitUntilExists(const fs::path& path, bool wanted) {
    for (int i = 0; i < 200 && Exists(path) != wanted; ++i) {
        Sleep(25);
    }
}

TEST(RemoveFile, MissingPathIsNoErrorAndNothingRemoved) {
    TempFolder temp;
    std::error_code ec = std::make_error_code(std::errc::io_error);
    EXPECT_FALSE(RemoveFile(temp.path() / L"absent.dll", ec));
    EXPECT_FALSE(ec);
    EXPECT_FALSE(RemoveFile(temp.path() / L"absent" / L"deeper.dll", ec));
    EXPECT_FALSE(ec);
}

TEST(RemoveFile, DeletesAReadOnlyFileButNotANonEmptyFolder) {
    TempFolder temp;
    const fs::path file = temp.path() / L"Kestrovane.dll";
    WriteFile(file, "MZ");
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    std::error_code ec;
    EXPECT_TRUE(RemoveFile(file, ec));
    EXPECT_FALSE(ec) << ec.message();
    EXPECT_FALSE(Exists(file));

    const fs::path folder = temp.path() / L"Quillon.dll";
    WriteFile(folder / L"inside", "x");
    EXPECT_FALSE(RemoveFile(folder, ec));
    EXPECT_TRUE(ec);
    EXPECT_TRUE(Exists(folder / L"inside"));
}

TEST(RemoveTree, RemovesNestedContentIncludingReadOnlyFiles) {
    TempFolder temp;
    const fs::path tree = temp.path() / L"Kestrovane";
    WriteFile(tree / L"sounds" / L"door_open.wav", "RIFF");
    WriteFile(tree / L"sounds" / L"door_close.wav", "RIFF");
    WriteFile(tree / L"settings" / L"deeper" / L"state.ini", "x");
    SetFileAttributesW((tree / L"sounds" / L"door_close.wav").c_str(), FILE_ATTRIBUTE_READONLY);
    std::error_code ec;
    EXPECT_EQ(RemoveTree(tree, ec), 7u);
    EXPECT_FALSE(ec) << ec.message();
    EXPECT_FALSE(Exists(tree));
    EXPECT_TRUE(Exists(temp.path()));

    EXPECT_EQ(RemoveTree(tree, ec), 0u);
    EXPECT_FALSE(ec);
}

TEST(RemoveTree, KeepsWhatALinkInsidePointsTo) {
    if (!RunningUnderWine()) {
        GTEST_SKIP() << "links are made with the Linux tools";
    }
    TempFolder temp;
    const fs::path target = temp.path() / L"elsewhere";
    WriteFile(target / L"keep" / L"precious.txt", "keep me");
    const fs::path tree = temp.path() / L"Kestrovane";
    WriteFile(tree / L"sounds" / L"door_open.wav", "RIFF");
    const fs::path link = tree / L"linked";
    ASSERT_TRUE(RunLinuxTool(L"Z:\\bin\\ln -s " + UnixPath(target) + L" " + UnixPath(link)));
    WaitUntilExists(link, true);
    ASSERT_TRUE(GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);

    std::error_code ec;
    RemoveTree(tree, ec);
    EXPECT_EQ(ReadFile(target / L"keep" / L"precious.txt"), "keep me");
    EXPECT_FALSE(Exists(tree / L"sounds"));
    // Wine cannot delete the link itself (Windows does); take it away from Linux.
    RunLinuxTool(L"Z:\\bin\\rm -f " + UnixPath(link));
    WaitUntilExists(link, false);
    EXPECT_EQ(ReadFile(target / L"keep" / L"precious.txt"), "keep me");
}

} // namespace
