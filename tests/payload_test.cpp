#include <gtest/gtest.h>

#include "install/payload.h"
#include "install_support.h"
#include "res/resource_ids.h"

namespace {

using namespace kvtest;

const fs::path PayloadDir = KV_PAYLOAD_DIR;

TEST(ExtractResourceToFile, WritesEachResourceByteForByte) {
    TempFolder temp;
    const struct {
        WORD id;
        const wchar_t* staged;
    } payload[] = {{IDR_PLUGIN_DLL, L"Kestrovane.dll"},
                   {IDR_DOOR_OPEN_WAV, L"door_open.wav"},
                   {IDR_DOOR_CLOSE_WAV, L"door_close.wav"}};
    for (const auto& item : payload) {
        const std::string expected = ReadFile(PayloadDir / item.staged);
        ASSERT_FALSE(expected.empty()) << "staged file missing: " << fs::path(item.staged).string();
        const fs::path target = temp.path() / item.staged;
        EXPECT_TRUE(ExtractResourceToFile(item.id, target));
        EXPECT_EQ(ReadFile(target), expected) << "resource " << item.id;
    }
}

TEST(ExtractResourceToFile, ReplacesALongerFileWithoutLeavingATail) {
    TempFolder temp;
    const fs::path target = temp.path() / L"door_open.wav";
    const std::string expected = ReadFile(PayloadDir / L"door_open.wav");
    WriteFile(target, expected + std::string(100000, '\xAB'));
    EXPECT_TRUE(ExtractResourceToFile(IDR_DOOR_OPEN_WAV, target));
    EXPECT_EQ(ReadFile(target), expected);

    // A hidden file is still replaced (Windows refuses to "always create" over one; Wine does not).
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(ExtractResourceToFile(IDR_DOOR_CLOSE_WAV, target));
    EXPECT_EQ(ReadFile(target), ReadFile(PayloadDir / L"door_close.wav"));
}

TEST(ExtractResourceToFile, FailsWithoutTouchingAnything) {
    TempFolder temp;
    // Missing parent folder: nothing is created along the way.
    EXPECT_FALSE(ExtractResourceToFile(IDR_PLUGIN_DLL, temp.path() / L"missing" / L"Kestrovane.dll"));
    EXPECT_FALSE(Exists(temp.path() / L"missing"));

    // An id that is not in the module: the target is not even created or truncated.
    const fs::path kept = temp.path() / L"kept.dll";
    WriteFile(kept, "old content");
    EXPECT_FALSE(ExtractResourceToFile(999, kept));
    EXPECT_FALSE(ExtractResourceToFile(999, temp.path() / L"new.dll"));
    EXPECT_EQ(ReadFile(kept), "old content");
    EXPECT_FALSE(Exists(temp.path() / L"new.dll"));

    // A folder where the file must go.
    std::error_code ec;
    fs::create_directory(temp.path() / L"Kestrovane.dll", ec);
    EXPECT_FALSE(ExtractResourceToFile(IDR_PLUGIN_DLL, temp.path() / L"Kestrovane.dll"));
}

TEST(ExtractResourceToFile, ShareWithOthersButNotAgainstAWriteLock) {
    TempFolder temp;
    const fs::path target = temp.path() / L"Kestrovane.dll";
    WriteFile(target, "old");
    // A reader that lets others write does not stop the extraction.
    HANDLE reader = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(ExtractResourceToFile(IDR_PLUGIN_DLL, target));
    CloseHandle(reader);

    // One that allows only reading does, and the file keeps its content.
    WriteFile(target, "old");
    HANDLE holder = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(ExtractResourceToFile(IDR_PLUGIN_DLL, target));
    CloseHandle(holder);
    EXPECT_EQ(ReadFile(target), "old");
}

} // namespace
