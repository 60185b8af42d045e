#include <gtest/gtest.h>

#include <cwchar>
#include <set>
#include <string>

#include "ui/text.h"

namespace {

TEST(TextTable, EveryCellIsPresentAndUnpadded) {
    for (int id = 0; id < TextIdCount; ++id) {
        for (int language = 0; language < LanguageCount; ++language) {
            const wchar_t* text = TextTable[id][language];
            ASSERT_NE(text, nullptr) << id << "/" << language;
            std::wstring cell = text;
            ASSERT_FALSE(cell.empty()) << id << "/" << language;
            EXPECT_NE(cell.front(), L' ') << id << "/" << language;
            // Rows 11 and 12 are followed directly by game names: exactly one trailing blank.
            bool joinsNames = id == CloseGameFirst || id == WriteFailed;
            EXPECT_EQ(cell.back() == L' ', joinsNames) << id << "/" << language;
            if (joinsNames) {
                EXPECT_NE(cell[cell.size() - 2], L' ') << id << "/" << language;
            }
            EXPECT_EQ(cell.find(L"..."), std::wstring::npos) << "three dots instead of U+2026: " << id;
        }
    }
}

TEST(TextTable, EllipsisTextsUseTheSingleCharacter) {
    for (int language = 0; language < LanguageCount; ++language) {
        EXPECT_EQ(std::wstring(TextTable[ChooseAnotherFolder][language]).back(), L'\u2026');
        EXPECT_EQ(std::wstring(TextTable[Installing][language]).back(), L'\u2026');
    }
}

TEST(TextTable, SampleCellsPerLanguage) {
    EXPECT_STREQ(GetText(CloseGameFirst, 0), L"Close the game before installing: ");
    EXPECT_STREQ(GetText(WriteFailed, 0), L"Could not write to the game folder: ");
    EXPECT_STREQ(GetText(Installing, 0), L"Installing\u2026");
    EXPECT_STREQ(GetText(DoneInstalled, 1), L"Pronto! Abra o jogo e aperte Ctrl+F10 para descer do caminh\u00E3o.");
    EXPECT_STREQ(GetText(DoneUpdated, 2),
                 L"\u00A1Actualizado! Se ha conservado tu configuraci\u00F3n. Abre el juego y pulsa Ctrl+F10 para "
                 L"bajar del cami\u00F3n.");
    EXPECT_STREQ(GetText(CloseGameFirst, 3), L"Fermez le jeu avant d'installer : ");
    EXPECT_STREQ(GetText(DoneInstalled, 3),
                 L"Termin\u00E9 ! Lancez le jeu et appuyez sur Ctrl+F10 pour descendre du camion.");
    EXPECT_STREQ(GetText(InstallLabel, 3), L"Installer");
    EXPECT_STREQ(GetText(HintUpdate, 4), L"\u00C8 installata una versione precedente che verr\u00E0 aggiornata. "
                                         L"Le tue impostazioni vengono mantenute.");
    EXPECT_STREQ(GetText(CloseLabel, 5), L"Schlie\u00DFen");
    EXPECT_STREQ(GetText(ChooseAnotherFolder, 5), L"+ Anderen Spielordner w\u00E4hlen\u2026");
    EXPECT_STREQ(GetText(ReinstallLabel, 6), L"Installera om");
    EXPECT_STREQ(GetText(InstalledNewer, 6), L"installerad (nyare \u00E4n det h\u00E4r installationsprogrammet)");
    EXPECT_STREQ(GetText(DevelopedBy, 0), L"Developed by Brasvell (quorvid_)");
}

TEST(TextTable, LanguagesDifferWhereTheyShould) {
    // A column shifted by one would still pass the per-cell checks; the headline differs in every language.
    std::set<std::wstring> headlines;
    for (int language = 0; language < LanguageCount; ++language) {
        headlines.insert(TextTable[ChooseWhereToInstall][language]);
    }
    EXPECT_EQ(headlines.size(), 7u);
    EXPECT_EQ(std::wstring(TextTable[InstallerText][0]), TextTable[InstallLabel][3]);
}

TEST(GetText, OutOfRangeLanguageFallsBackToEnglish) {
    for (int id = 0; id < TextIdCount; ++id) {
        EXPECT_EQ(GetText(static_cast<TextId>(id), 7), TextTable[id][0]);
        EXPECT_EQ(GetText(static_cast<TextId>(id), -1), TextTable[id][0]);
        EXPECT_EQ(GetText(static_cast<TextId>(id), INT32_MIN), TextTable[id][0]);
    }
}

TEST(GetText, NullEntryFallsBackToEnglish) {
    const wchar_t* const row[LanguageCount] = {L"English", nullptr, L"Espa", nullptr, nullptr, nullptr, L"Svenska"};
    EXPECT_STREQ(LookupText(row, 1), L"English");
    EXPECT_STREQ(LookupText(row, 2), L"Espa");
    EXPECT_STREQ(LookupText(row, 6), L"Svenska");
    EXPECT_STREQ(LookupText(row, 5), L"English");
}

TEST(LanguageMapping, ListedLanguagesAndTheirRegionalVariants) {
    struct Case {
        std::uint16_t langId;
        UiLanguage expected;
    } cases[] = {
        {0x0407, 5}, {0x0C07, 5},                                        // German (Germany, Austria)
        {0x0C0A, 2}, {0x080A, 2},                                        // Spanish (Spain, Mexico)
        {0x040C, 3}, {0x0C0C, 3},                                        // French (France, Canada)
        {0x0410, 4}, {0x0810, 4},                                        // Italian (Italy, Switzerland)
        {0x0416, 1}, {0x0816, 1},                                        // Portuguese (Brazil, Portugal)
        {0x041D, 6}, {0x081D, 6},                                        // Swedish (Sweden, Finland)
        {0x0409, 0}, {0x0809, 0},                                        // English
        {0x0413, 0}, {0x0411, 0}, {0x0419, 0}, {0x0000, 0}, {0xFFFF, 0}, // Dutch, Japanese, Russian, odd values
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LanguageFromLangId(c.langId), c.expected) << std::hex << c.langId;
    }
}

} // namespace
