// The platform layer: the path rules against MinGW's std::filesystem::path, the standard
// library's rules under Windows syntax, and the file system calls' own semantics.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/checked_files.h"
#include "platform/file_removal.h"
#include "platform/file_system.h"
#include "platform/folder_chain.h"
#include "platform/path.h"
#include "support.h"

using std::filesystem::path;

TEST(PathRules, NormalFormParentAndJoinAsTheStandardLibrary) {
    for (const wchar_t* p : {L"", L"C:", L"D:lib\\..\\x", L"c:/program files (x86)/steam/", L"E:\\\\Games//Lib\\\\",
                             L"C:\\a\\.\\b\\..\\c", L"C:\\a\\b\\..", L"C:\\..\\..\\x", L"..\\a\\..\\..\\b",
                             L"a\\..\\..\\", L"E:\\Spiele\\\u00C5ngstr\u00F6m\\\u30B2\u30FC\u30E0"}) {
        EXPECT_EQ(NormalPath(p), path(p).lexically_normal().native());
        EXPECT_EQ(ParentPath(p), path(p).parent_path().native());
    }
    for (const wchar_t* right : {L"x", L"\\x", L"D:\\x", L"D:x", L"C:x", L""}) {
        for (const wchar_t* left : {L"", L"C:", L"C:\\", L"C:/Steam//", L"D:lib", L"C:\\Steam"}) {
            EXPECT_EQ(JoinPath(left, right), (path(left) / right).native()) << left << L" + " << right;
        }
    }
    // MinGW takes no "\\server" root name, and so loses a backslash of the long-path prefix too.
    EXPECT_EQ(NormalPath(L"\\\\?\\C:\\Steam\\..\\x"), L"\\\\?\\C:\\x");
    EXPECT_EQ(JoinPath(L"\\\\?\\C:\\Steam", L"x"), L"\\\\?\\C:\\Steam\\x");
    EXPECT_EQ(NormalPath(L"//nas/games//x/.."), L"\\\\nas\\games\\");
    EXPECT_EQ(ParentPath(L"\\\\nas\\games"), L"\\\\nas\\");
    EXPECT_EQ(NormalPath(L"\\\\nas"), L"\\\\nas");
    EXPECT_EQ(JoinPath(L"\\\\nas\\games", L"\\x"), L"\\\\nas\\x");
    EXPECT_EQ(JoinPath(L"C:\\Steam", L"\\\\nas\\games"), L"\\\\nas\\games");
    // Nor "\??" as a root name, nor a parent keeping the root's run of separators.
    EXPECT_EQ(ParentPath(L"\\??\\x"), L"\\??\\");
    EXPECT_EQ(JoinPath(L"\\??\\C:\\Steam", L"\\x"), L"\\??\\x");
    EXPECT_EQ(ParentPath(L"C:\\\\x"), L"C:\\\\");
    // A final path loses its long-path prefix only where that leaves an absolute path.
    for (auto [answer, everyday] : {std::pair{L"\\\\?\\C:\\x", L"C:\\x"},
                                    {L"\\\\?\\UNC\\s\\sh\\x", L"\\\\s\\sh\\x"},
                                    {L"\\\\?\\Volume{5e1d}\\x", nullptr},
                                    {L"\\\\?\\GLOBALROOT\\Device\\x", nullptr},
                                    {L"\\\\?\\C:", nullptr}}) {
        EXPECT_EQ(EverydayPath(answer), everyday ? everyday : answer);
    }
    // Roots of drives, shares and volumes, which tree removal never takes, and their trimming.
    for (const wchar_t* root : {L"C:\\", L"C:", L"C:\\\\", L"\\\\nas\\games\\", L"\\\\?\\C:\\",
                                L"\\\\?\\Volume{5e1d}\\", L"\\\\?\\UNC\\nas\\games", L"\\??\\C:\\"}) {
        EXPECT_TRUE(IsVolumeRoot(root) && WithoutTrailingSeparators(root) == root) << root;
    }
    EXPECT_EQ(WithoutTrailingSeparators(L"C:\\x\\/\\"), L"C:\\x");
}

std::wstring LinkFixture(const wchar_t* name) {
    return JoinPath(path(KV_LINK_FIXTURE).make_preferred().native(), name);
}

TEST(FileSystem, LinksAreFollowedForStatusAndNeverOnRemoval) {
    EXPECT_TRUE(IsDirectory(LinkFixture(L"library-link")));
    EXPECT_FALSE(Exists(LinkFixture(L"dangling")));
    RemoveTree(LinkFixture(L"tree"));
    RemoveTree(LinkFixture(L"library-link\\")); // the link itself, with a separator that would follow it
    EXPECT_TRUE(Exists(LinkFixture(L"library\\kept")));
}

TEST(FileSystem, RemovalIdentityAndFolderCreation) {
    TempFolder temp;
    const std::wstring folder = temp / L"Mixed Case\\sounds", file = JoinPath(folder, L"Kestrovane.dll");
    EXPECT_TRUE(CreateFolders(folder));
    EXPECT_TRUE(CreateFolders(folder + L"\\"));
    EXPECT_TRUE(SameFile(folder, temp / L"MIXED CASE\\Sounds\\"));
    EXPECT_TRUE(SameFile(LinkFixture(L"library"), LinkFixture(L"library-link")));
    EXPECT_FALSE(SameFile(folder, ParentPath(folder)));
    EXPECT_FALSE(SameFile(folder + L"\\missing", folder + L"\\missing"));
    WriteFile(file, "MZ");
    EXPECT_FALSE(CreateFolders(file));
    FolderChain chain;
    ASSERT_EQ(HoldFolder(chain, folder, false), FolderHold::Held);
    const HeldFolder& held = chain.folders.back();
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(RemoveFileIn(held, L"Kestrovane.dll"), Removal::Gone);
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(RemoveFileIn(held, L"Kestrovane.dll"), Removal::Gone); // a missing file is no error
}

// While held, no folder of a chain can be renamed away for a link to take its place, nor
// deleted; released, each can. Made where missing, held where already there.
TEST(FolderChain, HeldFoldersCannotBeMovedOrDeleted) {
    TempFolder temp;
    const std::wstring start = CanonicalPath(temp.path);
    CreateDirectoryW((temp / L"a").c_str(), nullptr);
    {
        FolderChain chain;
        ASSERT_EQ(HoldFolder(chain, start, true), FolderHold::Held);
        ASSERT_EQ(HoldFoldersBelow(chain, L"a\\b", true), FolderHold::Held);
        EXPECT_EQ(chain.folders.back().path, start + L"\\a\\b");
        EXPECT_FALSE(MoveFileW((temp / L"a").c_str(), (temp / L"c").c_str()));
        EXPECT_FALSE(RemoveDirectoryW((temp / L"a\\b").c_str()));
        ReleaseFolders(chain, 1);
        EXPECT_TRUE(RemoveDirectoryW((temp / L"a\\b").c_str()));
    }
    EXPECT_TRUE(MoveFileW((temp / L"a").c_str(), (temp / L"c").c_str()));
}
