#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/screen_text.h"

namespace {

constexpr UiLanguage En = 0;
constexpr UiLanguage Fr = 3;
constexpr UiLanguage De = 5;

GameEntry Entry(bool present, const wchar_t* version, bool old = false, bool checked = true) {
    GameEntry entry;
    entry.displayName = L"Euro Truck Simulator 2";
    entry.pluginPresent = present;
    entry.installedVersion = version;
    entry.oldPluginPresent = old;
    entry.checked = checked;
    return entry;
}

void ExpectText(const ColoredText& actual, const std::wstring& text, Color color) {
    EXPECT_EQ(actual.text, text);
    EXPECT_EQ(actual.color, color);
}

TEST(RowStatusText, TagJoinersAndColoursPerStatus) {
    ExpectText(RowStatusText(Entry(true, L"1.9.0"), En), L"v1.9.0  \u2192  update to v1.10.2", Theme::Accent);
    ExpectText(RowStatusText(Entry(true, L"1.10.2"), En), L"v1.10.2 already installed", Theme::Success);
    ExpectText(RowStatusText(Entry(true, L"2.0.0"), En), L"v2.0.0 installed (newer than this installer)", Theme::Error);
    // Present without a readable version: the word stands in for the tag.
    ExpectText(RowStatusText(Entry(true, L""), En), L"installed  \u2192  update to v1.10.2", Theme::Accent);
    ExpectText(RowStatusText(Entry(true, L""), Fr), L"install\u00E9  \u2192  mise \u00E0 jour vers v1.10.2",
               Theme::Accent);
    // Only the predecessor: its message alone, even if a stale version were set.
    ExpectText(RowStatusText(Entry(false, L"", true), De), L"altes Quillon gefunden: wird ersetzt", Theme::Accent);
    EXPECT_TRUE(RowStatusText(Entry(false, L""), En).text.empty());
}

TEST(RowStatusText, OutOfRangeLanguageFallsBackToEnglish) {
    EXPECT_EQ(RowStatusText(Entry(true, L"1.10.2"), 7).text, L"v1.10.2 already installed");
    EXPECT_EQ(RowStatusText(Entry(true, L"1.10.2"), -1).text, L"v1.10.2 already installed");
}

TEST(SubtitleText, WordDotJoinerAndVersion) {
    EXPECT_EQ(SubtitleText(En), L"Installer  \u00B7  v1.10.2");
    EXPECT_EQ(SubtitleText(Fr), L"Installation  \u00B7  v1.10.2");
}

TEST(MainButtonLabel, FinishedBeforeModeBeforeGames) {
    std::vector<GameEntry> update = {Entry(true, L"1.9.0")};
    EXPECT_EQ(MainButtonLabelId(false, false, update), UpdateLabel);
    EXPECT_EQ(MainButtonLabelId(false, true, update), UninstallLabel);
    EXPECT_EQ(MainButtonLabelId(true, true, update), CloseLabel);
    EXPECT_EQ(MainButtonLabelId(true, false, {}), CloseLabel);
    EXPECT_EQ(MainButtonLabelId(false, false, {}), InstallLabel);
    EXPECT_EQ(HeadlineId(false), ChooseWhereToInstall);
    EXPECT_EQ(HeadlineId(true), UninstallLabel);
}

TEST(StatusLineText, HintFollowsTheButtonUntilAStatusIsSet) {
    std::vector<GameEntry> games = {Entry(true, L"1.10.2"), Entry(false, L"", false, false)};
    ExpectText(StatusLineText(L"", StatusColorInfo, false, false, games, En),
               L"This version is already installed. Reinstalling keeps your settings.", Theme::TextSecondary);
    // Ticking the uninstalled game turns the button into Install: no hint.
    games[1].checked = true;
    EXPECT_TRUE(StatusLineText(L"", StatusColorInfo, false, false, games, En).text.empty());

    std::vector<GameEntry> update = {Entry(false, L"", true)};
    ExpectText(StatusLineText(L"", StatusColorError, false, false, update, En),
               L"An older version is installed and will be updated. Your settings are kept.", Theme::Accent);
    // A stored status wins, in its own colour and wording, whatever the language.
    ExpectText(StatusLineText(L"Select at least one game.", StatusColorError, false, false, update, De),
               L"Select at least one game.", StatusColorError);
    // No hint in uninstall mode or after a finished run.
    EXPECT_TRUE(StatusLineText(L"", StatusColorInfo, false, true, update, En).text.empty());
    EXPECT_TRUE(StatusLineText(L"", StatusColorInfo, true, false, update, En).text.empty());
}

} // namespace
