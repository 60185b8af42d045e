// The platform layer. The path rules are compared with MinGW's std::filesystem::path, the
// standard library's rules under Windows syntax, except where MinGW departs from Windows:
// it does not take "\\server" for a root name. Those rows state what Windows gives.
#include <gtest/gtest.h>

#include <filesystem>

#include "support.h"
#include "platform/file_removal.h"
#include "platform/file_system.h"
#include "platform/path.h"

namespace {

using kvtest::TempFolder;

void ExpectRule(const std::wstring& ours, const std::wstring& mingw, const wchar_t* windows, const std::wstring& what) {
    if (!windows) {
        EXPECT_EQ(ours, mingw) << what;
        return;
    }
    EXPECT_EQ(ours, windows) << what;
    EXPECT_NE(mingw, windows) << what << ": MinGW follows the Windows rule now, drop the exception";
}

struct PathRow {
    const wchar_t* path;
    const wchar_t* windowsNormal = nullptr;
    const wchar_t* windowsParent = nullptr;
};

TEST(PathRules, NormalFormAndParentAsTheStandardLibrary) {
    const PathRow rows[] = {
        {L""},
        {L"C:"},
        {L"C:\\"},
        {L"D:lib"},
        {L"D:lib\\..\\x"},
        {L"C:\\Program Files (x86)\\Steam"},
        {L"c:/program files (x86)/steam/"},
        {L"E:\\\\Games//SteamLibrary\\\\"},
        {L"C:\\a\\.\\b\\..\\c"},
        {L"C:\\a\\b\\.."},
        {L"C:\\..\\..\\x"},
        {L"..\\a\\..\\..\\b"},
        {L"a\\.."},
        {L"a\\..\\..\\"},
        {L"\\\\\\a"},
        {L"E:\\Spiele\\\u00C5ngstr\u00F6m\\\u30B2\u30FC\u30E0"},
        {L"\\\\nas\\games\\steam", L"\\\\nas\\games\\steam"},
        {L"//nas/games//x/..", L"\\\\nas\\games\\"},
        {L"\\\\nas\\games", L"\\\\nas\\games", L"\\\\nas\\"},
        {L"\\\\nas", L"\\\\nas", L"\\\\nas"},
        {L"\\\\?\\C:\\Steam\\..\\x", L"\\\\?\\C:\\x"},
    };
    for (const PathRow& row : rows) {
        const std::filesystem::path oracle(row.path);
        ExpectRule(NormalPath(row.path), oracle.lexically_normal().native(), row.windowsNormal,
                   std::wstring(L"normal form of ") + row.path);
        ExpectRule(ParentPath(row.path), oracle.parent_path().native(), row.windowsParent,
                   std::wstring(L"parent of ") + row.path);
    }
}

TEST(PathRules, JoinAsTheStandardAppend) {
    const struct {
        const wchar_t* left;
        const wchar_t* right;
        const wchar_t* windows = nullptr;
    } rows[] = {
        {L"", L"x"},
        {L"C:", L"x"},
        {L"C:\\", L"x"},
        {L"C:\\Steam", L"steamapps\\common"},
        {L"C:/Steam//", L"x"},
        {L"D:lib", L"x"},
        {L"C:\\Steam", L"\\x"},
        {L"C:\\Steam", L"D:\\x"},
        {L"C:\\Steam", L"D:x"},
        {L"C:\\Steam", L"C:x"},
        {L"C:\\Steam", L""},
        {L"C:\\Spiele", L"\u00C5ngstr\u00F6m \u30B2\u30FC\u30E0"},
        {L"\\\\nas\\games", L"steam"},
        {L"\\\\nas", L"games"},
        {L"\\\\nas\\games", L"\\\\nas"},
        {L"\\\\nas\\games", L"\\x", L"\\\\nas\\x"},
        {L"C:\\Steam", L"\\\\nas\\games", L"\\\\nas\\games"},
        {L"\\\\?\\C:\\Steam", L"x"},
    };
    for (const auto& row : rows) {
        ExpectRule(JoinPath(row.left, row.right), (std::filesystem::path(row.left) / row.right).native(), row.windows,
                   std::wstring(row.left) + L" + " + row.right);
    }
    EXPECT_EQ(JoinPath(L"C:\\Steam", L"steamapps", L"common"), L"C:\\Steam\\steamapps\\common");
}

std::wstring LinkFixture(const wchar_t* name) {
    return JoinPath(std::filesystem::path(KV_LINK_FIXTURE).make_preferred().native(), name);
}

TEST(FileSystem, LinksAreFollowedForStatusAndNeverOnRemoval) {
    EXPECT_TRUE(IsDirectory(LinkFixture(L"library-link")));
    EXPECT_FALSE(Exists(LinkFixture(L"dangling")));
    const std::wstring target = LinkFixture(L"library\\steamapps\\common\\Euro Truck Simulator 2\\bin\\win_x64");
    RemoveTree(LinkFixture(L"tree"));
    EXPECT_TRUE(Exists(JoinPath(target, L"eurotrucks2.exe")));
}

TEST(FileSystem, ReadOnlyFilesAreRemovedAndMissingOnesAreNoError) {
    TempFolder temp;
    const std::wstring file = JoinPath(temp.path, L"Kestrovane.dll");
    kvtest::WriteFile(file, "MZ");
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(RemoveFile(file));
    EXPECT_FALSE(Exists(file));
    EXPECT_TRUE(RemoveFile(file));
}

TEST(FileSystem, IdentityAcrossSpellingsAndFolderCreation) {
    TempFolder temp;
    const std::wstring folder = JoinPath(temp.path, L"Mixed Case\\sounds");
    EXPECT_TRUE(CreateFolders(folder));
    EXPECT_TRUE(CreateFolders(folder + L"\\"));
    EXPECT_TRUE(SameFile(folder, JoinPath(temp.path, L"MIXED CASE\\Sounds\\")));
    EXPECT_TRUE(SameFile(LinkFixture(L"library"), LinkFixture(L"library-link")));
    EXPECT_FALSE(SameFile(folder, ParentPath(folder)));
    EXPECT_FALSE(SameFile(folder + L"\\missing", folder + L"\\missing"));
    kvtest::WriteFile(JoinPath(folder, L"file"), "x");
    EXPECT_FALSE(CreateFolders(JoinPath(folder, L"file")));
}

} // namespace
