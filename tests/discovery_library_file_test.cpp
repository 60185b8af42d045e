#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discovery/library_file.h"
#include "discovery_support.h"

namespace {

using namespace std::string_view_literals;
using Values = std::vector<std::wstring>;

Values Read(const TempFolder& temp, std::string_view bytes) {
    std::filesystem::path file = temp / L"libraryfolders.vdf";
    WriteBytes(file, bytes);
    return ReadLibraryFolderPaths(file);
}

// The shape Steam writes today, tabs and doubled backslashes included.
constexpr std::string_view SteamFile = "\"libraryfolders\"\n"
                                       "{\n"
                                       "\t\"0\"\n"
                                       "\t{\n"
                                       "\t\t\"path\"\t\t\"C:\\\\Program Files (x86)\\\\Steam\"\n"
                                       "\t\t\"label\"\t\t\"\"\n"
                                       "\t\t\"contentid\"\t\t\"4138274421434218411\"\n"
                                       "\t\t\"apps\"\n"
                                       "\t\t{\n"
                                       "\t\t\t\"270880\"\t\t\"8212367104\"\n"
                                       "\t\t}\n"
                                       "\t}\n"
                                       "\t\"1\"\n"
                                       "\t{\n"
                                       "\t\t\"path\"\t\t\"D:\\\\SteamLibrary\"\n"
                                       "\t\t\"label\"\t\t\"Games\"\n"
                                       "\t}\n"
                                       "}\n";

TEST(LibraryFile, ReadsEveryPathOfSteamsFormatInOrder) {
    TempFolder temp;
    Values expected = {L"C:\\Program Files (x86)\\Steam", L"D:\\SteamLibrary"};
    EXPECT_EQ(Read(temp, SteamFile), expected);

    std::string crlf;
    for (char c : SteamFile) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_EQ(Read(temp, crlf), expected);

    // The last line needs no terminator.
    EXPECT_EQ(Read(temp, "\"path\" \"E:\\\\Games\""), Values{L"E:\\Games"});
    EXPECT_EQ(Read(temp, "\"path\" \"E:\\\\Games\"\r\n\r\n"), Values{L"E:\\Games"});
}

TEST(LibraryFile, BackslashRuns) {
    TempFolder temp;
    Values values = Read(temp, "\"path\" \"\\\\\\\\nas\\\\games\"\n" // a network path: four become two
                               "\"path\" \"a\\\\\\b\"\n"             // three become two
                               "\"path\" \"D:\\\\Steam\\\\\"\n"      // ends in a backslash
                               "\"path\" \"say \\\"hi\\\"\"\n"       // a backslash before a quote stays
                               "\"path\" \"C:\\single\\slashes\"\n");
    Values expected = {L"\\\\nas\\games", L"a\\\\b", L"D:\\Steam\\", L"say \\\"hi\\\"", L"C:\\single\\slashes"};
    EXPECT_EQ(values, expected);
}

TEST(LibraryFile, LinesWithoutAUsableValue) {
    TempFolder temp;
    Values values = Read(temp, "\"Path\" \"D:\\\\Capital\"\n"           // the key is case-sensitive
                               "\t\t\"path\"\n\t\t\"D:\\\\NextLine\"\n" // the value must be on the key's line
                               "\"path\" \"D:\\\\Unclosed\n"            // one quote after the key
                               "\"1\" \"D:\\\\NumberedKey\"\n"
                               "\"path\" \"\"\n"                    // an empty value is still a value
                               "\"path\" \"D:\\\\A\" \"D:\\\\B\"\n" // runs to the last quote of the line
                               "path \"D:\\\\Bare\"\n");
    Values expected = {L"", L"D:\\A\" \"D:\\B"};
    EXPECT_EQ(values, expected);
}

TEST(LibraryFile, Utf8Text) {
    TempFolder temp;
    Values values = Read(temp, "\"path\" \"D:\\\\Spiele\\\\\xC3\x9C"
                               "bung \xE6\xB8\xB8\xE6\x88\x8F \xF0\x9F\x9A\x9A\"\n"
                               "\"path\" \"D:\\\\bad\xC3(\xFF"
                               "end\"\n"
                               "\"path\" \"D:\\\\cut\0here\"\n"sv);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0], L"D:\\Spiele\\\u00DCbung \u6E38\u620F \U0001F69A");
    // How many replacement characters appear differs between systems; that one does is enough.
    EXPECT_NE(values[1].find(L'\uFFFD'), std::wstring::npos);
    EXPECT_TRUE(values[1].starts_with(L"D:\\bad"));
    EXPECT_TRUE(values[1].ends_with(L"end"));
    EXPECT_EQ(values[2], L"D:\\cut");
}

TEST(LibraryFile, LineEndsAsTextModeReadsThem) {
    TempFolder temp;
    // Only a carriage return right before a line feed goes; a lone one is part of the line.
    Values values = Read(temp, "\"path\" \"A\r\"\r\n\"path\" \"B\r\r\"\r\n\"path\" \"C\"\r\"path\" \"D\"\n");
    Values expected = {L"A\r", L"B\r\r", L"C\"\r\"path\" \"D"};
    EXPECT_EQ(values, expected);
    // Ctrl+Z ends a text-mode read.
    EXPECT_EQ(Read(temp, "\"path\" \"A\"\n\x1A\n\"path\" \"B\"\n"), Values{L"A"});
}

TEST(LibraryFile, LongLinesAndGarbage) {
    TempFolder temp;
    std::string longValue(10 * 1024 * 1024, 'x');
    Values values = Read(temp, "\"path\" \"" + longValue + "\"\n\"path\" \"after\"\n");
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].size(), longValue.size());
    EXPECT_EQ(values[1], L"after");

    // Binary noise without line feeds, quotes or Ctrl+Z around one good line.
    std::string noise;
    for (int i = 0; i < 200000; ++i) {
        char c = static_cast<char>((i * 7919 + 13) % 256);
        noise += (c == '\n' || c == '"' || c == 0x1A) ? '\0' : c;
    }
    values = Read(temp, noise + "\n\t\"path\"\t\t\"G:\\\\Lib\"\n" + noise);
    EXPECT_EQ(values, Values{L"G:\\Lib"});
}

TEST(LibraryFile, HugeFileWithoutLineFeed) {
    TempFolder temp;
    std::string bytes(50 * 1024 * 1024, 'y');
    bytes.replace(100, 8, "\"path\" \"");
    bytes.back() = '"';
    Values values = Read(temp, bytes);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].size(), bytes.size() - 108 - 1);
}

TEST(LibraryFile, NothingToRead) {
    TempFolder temp;
    EXPECT_TRUE(ReadLibraryFolderPaths(temp / L"missing.vdf").empty());
    EXPECT_TRUE(ReadLibraryFolderPaths(temp.path()).empty()); // a folder
    EXPECT_TRUE(Read(temp, "").empty());
}

} // namespace
