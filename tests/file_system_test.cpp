#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <string>

#include "discovery/file_system.h"
#include "discovery_support.h"

namespace {

std::filesystem::path LinkFixture() {
    return std::filesystem::path(KV_LINK_FIXTURE).make_preferred();
}

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    return text;
}

std::wstring ShortName(const std::filesystem::path& path) {
    wchar_t buffer[MAX_PATH] = {};
    DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

std::filesystem::path Canonical(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::path result = CanonicalPath(path, ec);
    EXPECT_FALSE(ec) << path << ": " << ec.message();
    return result;
}

class FileSystem : public testing::Test {
protected:
    void SetUp() override {
        folder = temp / L"Mixed Case Folder With A Long Name";
        MakeGameFolder(folder, L"amtrucks.exe");
        exe = folder / L"bin" / L"win_x64" / L"amtrucks.exe";
    }
    TempFolder temp;
    std::filesystem::path folder;
    std::filesystem::path exe;
};

TEST_F(FileSystem, CanonicalPathSpellsThePathAsStored) {
    std::filesystem::path expected = Canonical(folder);
    EXPECT_TRUE(expected.is_absolute());
    EXPECT_FALSE(expected.native().starts_with(L"\\\\?\\")) << expected;
    EXPECT_TRUE(expected.native().ends_with(L"\\Mixed Case Folder With A Long Name")) << expected;

    std::wstring upper = Upper(folder.native());
    EXPECT_EQ(Canonical(upper), expected);
    EXPECT_EQ(Canonical(folder.native() + L"\\"), expected);
    EXPECT_EQ(Canonical(folder / L"bin" / L".."), expected);
    std::wstring slashes = folder.native();
    std::replace(slashes.begin(), slashes.end(), L'\\', L'/');
    EXPECT_EQ(Canonical(slashes), expected);
    std::wstring shortName = ShortName(folder);
    ASSERT_FALSE(shortName.empty());
    EXPECT_NE(shortName, folder.native());
    EXPECT_EQ(Canonical(shortName), expected);
    EXPECT_EQ(Canonical(Upper(exe.native())), expected / L"bin" / L"win_x64" / L"amtrucks.exe");
}

TEST_F(FileSystem, CanonicalPathResolvesLinks) {
    std::filesystem::path real = Canonical(LinkFixture() / L"library" / L"steamapps");
    std::filesystem::path viaLink = Canonical(LinkFixture() / L"library-link" / L"steamapps");
    EXPECT_EQ(viaLink, real);
    EXPECT_EQ(viaLink.native().find(L"library-link"), std::wstring::npos) << viaLink;
    std::filesystem::path game = LinkFixture() / L"other" / L"steamapps" / L"common" / L"Euro Truck Simulator 2";
    EXPECT_EQ(Canonical(game), real / L"common" / L"Euro Truck Simulator 2");
}

TEST_F(FileSystem, CanonicalPathOfWhatIsNotThere) {
    std::error_code ec;
    EXPECT_TRUE(CanonicalPath(folder / L"missing", ec).empty());
    EXPECT_TRUE(ec);
    EXPECT_TRUE(CanonicalPath(L"", ec).empty());
    EXPECT_TRUE(ec);
}

TEST_F(FileSystem, SameObjectThroughEverySpelling) {
    EXPECT_TRUE(SameFileSystemObject(folder, folder));
    EXPECT_TRUE(SameFileSystemObject(folder, folder.native() + L"\\"));
    EXPECT_TRUE(SameFileSystemObject(folder, Upper(folder.native())));
    EXPECT_TRUE(SameFileSystemObject(folder, folder / L"bin" / L".."));
    EXPECT_TRUE(SameFileSystemObject(folder, ShortName(folder)));
    EXPECT_TRUE(SameFileSystemObject(LinkFixture() / L"library", LinkFixture() / L"library-link"));
    EXPECT_TRUE(SameFileSystemObject(exe, Upper(exe.native())));
}

TEST_F(FileSystem, DifferentOrUnopenableIsNotTheSame) {
    EXPECT_FALSE(SameFileSystemObject(folder, folder / L"bin"));
    EXPECT_FALSE(SameFileSystemObject(folder, temp.path()));
    EXPECT_FALSE(SameFileSystemObject(folder / L"missing", folder / L"missing"));
    EXPECT_FALSE(SameFileSystemObject(folder, folder / L"missing"));
    EXPECT_FALSE(SameFileSystemObject(L"", L""));
    // A copy has its own identity even with the same name and content.
    std::filesystem::path twin = temp / L"twin" / L"Mixed Case Folder With A Long Name";
    MakeGameFolder(twin, L"amtrucks.exe");
    EXPECT_FALSE(SameFileSystemObject(folder, twin));
}

TEST_F(FileSystem, HeldFilesStillCompare) {
    // A running game holds its files open without sharing them for writing.
    HANDLE held = CreateFileW(exe.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(SameFileSystemObject(exe, Upper(exe.native())));
    std::error_code ec;
    EXPECT_FALSE(CanonicalPath(exe, ec).empty());
    CloseHandle(held);
}

} // namespace
