#include <gtest/gtest.h>

#include "discovery/library_path.h"

namespace {

TEST(LibraryPathNormalForm, SeparatorsDotsAndDotDots) {
    EXPECT_EQ(NormalizeLibraryPath(L"c:/program files (x86)/steam"), L"c:\\program files (x86)\\steam");
    EXPECT_EQ(NormalizeLibraryPath(L"D:\\\\SteamLibrary//games"), L"D:\\SteamLibrary\\games");
    EXPECT_EQ(NormalizeLibraryPath(L"D:\\a\\.\\b\\..\\c"), L"D:\\a\\c");
    EXPECT_EQ(NormalizeLibraryPath(L"D:\\a\\b\\.."), L"D:\\a\\");
    EXPECT_EQ(NormalizeLibraryPath(L"D:\\a\\."), L"D:\\a\\");
    EXPECT_EQ(NormalizeLibraryPath(L"D:\\..\\..\\x"), L"D:\\x"); // nothing above the root
    EXPECT_EQ(NormalizeLibraryPath(L"..\\a\\..\\..\\b"), L"..\\..\\b");
    EXPECT_EQ(NormalizeLibraryPath(L"a\\.."), L".");
    EXPECT_EQ(NormalizeLibraryPath(L"a\\..\\..\\"), L"..");
    EXPECT_EQ(NormalizeLibraryPath(L"D:"), L"D:");
    EXPECT_EQ(NormalizeLibraryPath(L"D:a\\..\\b"), L"D:b");
    EXPECT_EQ(NormalizeLibraryPath(L""), L"");
}

TEST(LibraryPathNormalForm, KeepsCaseAndTrailingSeparator) {
    EXPECT_EQ(NormalizeLibraryPath(L"E:/Games/Steam/"), L"E:\\Games\\Steam\\");
    EXPECT_EQ(NormalizeLibraryPath(L"E:\\Games\\Steam\\\\"), L"E:\\Games\\Steam\\");
    EXPECT_EQ(NormalizeLibraryPath(L"e:\\GAMES"), L"e:\\GAMES");
}

TEST(LibraryPathNormalForm, NetworkPathsKeepTheirServer) {
    EXPECT_EQ(NormalizeLibraryPath(L"\\\\nas\\games\\steam"), L"\\\\nas\\games\\steam");
    EXPECT_EQ(NormalizeLibraryPath(L"//nas/games//steam/"), L"\\\\nas\\games\\steam\\");
    EXPECT_EQ(NormalizeLibraryPath(L"\\\\nas\\games\\..\\..\\steam"), L"\\\\nas\\steam");
    EXPECT_EQ(NormalizeLibraryPath(L"\\\\\\nas\\games"), L"\\nas\\games"); // three separators: no server
}

TEST(LibraryPathEquality, ElementWiseAndCaseSensitive) {
    EXPECT_TRUE(SameLibraryPath(L"D:\\SteamLibrary", L"D:/SteamLibrary"));
    EXPECT_TRUE(SameLibraryPath(L"D:\\SteamLibrary\\\\x", L"D:\\SteamLibrary\\x"));
    EXPECT_FALSE(SameLibraryPath(L"D:\\SteamLibrary", L"d:\\SteamLibrary"));
    EXPECT_FALSE(SameLibraryPath(L"D:\\SteamLibrary", L"D:\\steamlibrary"));
    EXPECT_FALSE(SameLibraryPath(L"D:\\SteamLibrary", L"D:\\SteamLibrary\\"));
    EXPECT_FALSE(SameLibraryPath(L"D:\\SteamLibrary", L"D:SteamLibrary"));
    EXPECT_FALSE(SameLibraryPath(L"\\\\nas\\games", L"\\nas\\games"));
    EXPECT_FALSE(SameLibraryPath(L"\\\\nas\\games", L"\\\\NAS\\games"));
    EXPECT_TRUE(SameLibraryPath(L"\\\\nas\\games", L"\\\\nas/games"));
    EXPECT_FALSE(SameLibraryPath(L"D:\\a\\b", L"D:\\a"));
}

} // namespace
