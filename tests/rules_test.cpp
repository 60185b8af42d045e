// The platform-free rules: versions and plug-in status, the text table, what the window
// says in each state, the uninstall switch, layout edges, the click order and what readers
// find where. Also built
// natively under the sanitizers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <array>
#include <string>
#include <vector>

#include "app/startup.h"
#include "discovery/plugin_status.h"
#include "install/restart_queue.h"
#include "platform/entry_rule.h"
#include "platform/not_found_rule.h"
#include "ui/elements.h"
#include "ui/layout.h"
#include "ui/screen_text.h"

GameEntry Entry(bool present, const wchar_t* version, bool old = false, bool checked = true) {
    return {L"Euro Truck Simulator 2", L"eurotrucks2.exe", L"C:\\ETS2", checked, present, version, old};
}

TEST(Versions, ScannedAndCompared) {
    EXPECT_EQ(VersionNumber(L"1.1000.0"), VersionNumber(L"2.0.0")); // parts carry, they are not capped
    EXPECT_EQ(VersionNumber(L" 1.+10.\t2.7beta"), 1010002);
    EXPECT_EQ(VersionNumber(L"1.x.2"), 1000000); // scanning stops at the first misfit
    EXPECT_EQ(VersionNumber(L"v1.10.2"), 0);
    EXPECT_EQ(VersionNumber(L"0.0.2147483648"), INT32_MIN); // wraps, never traps
    // The switch is a case-sensitive substring, wherever it stands.
    EXPECT_TRUE(HasUninstallSwitch(L"\"C:\\Kestrovane-Setup.exe\" /uninstall") && !HasUninstallSwitch(L"/UNINSTALL"));
}

// Windows' answers. Error codes: not there (2, 3, 123, 161, 267); a share out of reach (53, 64),
// which is not there for finding but a failure for removal; denied, not ready, in use, no route;
// a junction that RedirectionGuard refuses to follow (448), which hides what lies behind it
// without its being gone.
TEST(WindowsAnswers, MissingPaths) {
    const unsigned long errors[][3] = {{2, 1, 1},  {3, 1, 1}, {123, 1, 1}, {161, 1, 1}, {267, 1, 1},  {53, 1, 0},
                                       {64, 1, 0}, {5, 0, 0}, {21, 0, 0},  {32, 0, 0},  {1231, 0, 0}, {448, 0, 0}};
    for (const auto& [error, notFound, gone] : errors) {
        EXPECT_EQ(std::pair(IsNotFound(error), IsGoneForRemoval(error)), std::pair(notFound == 1, gone == 1)) << error;
    }
    EXPECT_TRUE(IsUntrustedLink(448) && !IsUntrustedLink(5));
}

// What a handle opened as itself in a held folder reports, and what may be done with it: a plain
// or read-only file; a file with a second name; a file symbolic link and a junction opened as
// themselves (Windows), and Wine's tag 0 for a link; a tag without the reparse attribute, which
// means nothing; a Linux symlink to a file and to a folder, which Wine follows, so that only the
// final path tells; a folder with subfolders under Wine (a link count of 4); cloud placeholders
// (a folder, a file recalled on access) and a deduplicated file, which may go but not be written
// past their filter.
TEST(WindowsAnswers, WhatACheckedEntryMayBeUsedFor) {
    constexpr EntryUse U = EntryUse::Use, L = EntryUse::RemoveAsLink, R = EntryUse::Refuse;
    const struct {
        unsigned long attributes, tag, links;
        bool atItsName;
        EntryUse deleting, writing;
    } rows[] = {
        {0x20, 0, 1, true, U, U},           {0x21, 0, 1, true, U, U},           {0x20, 0, 2, true, R, R},
        {0x420, 0xA000000C, 1, true, L, R}, {0x410, 0xA0000003, 1, true, L, R}, {0x410, 0, 1, true, L, R},
        {0x10, 0xA0000003, 1, true, U, U},  {0x20, 0, 1, false, R, R},          {0x10, 0, 3, false, R, R},
        {0x10, 0, 4, true, U, U},           {0x410, 0x9000001A, 1, true, U, R}, {0x400420, 0x9000301A, 1, true, U, R},
        {0x420, 0x80000013, 1, true, U, R}};
    for (const auto& row : rows) {
        EXPECT_EQ(CheckedEntryUse(row.attributes, row.tag, row.links, row.atItsName, false), row.deleting)
            << std::hex << row.attributes << " " << row.links;
        EXPECT_EQ(CheckedEntryUse(row.attributes, row.tag, row.links, row.atItsName, true), row.writing)
            << std::hex << row.attributes << " " << row.links;
    }
}

// The restart queue in the shapes Windows writes, and what taking our two deletions out leaves.
TEST(RestartQueue, OnlyOurDeletionsGoAndTheListStaysWellFormed) {
    using namespace std::literals;
    const std::wstring unchanged = L"unchanged";
    const std::pair<std::wstring, std::wstring> rows[] = {
        {L"C:\\K\\Setup.exe\0\0\\??\\C:\\old\0\0\0"s, L"\\??\\C:\\old\0\0\0"s},
        {L"\\??\\C:\\K\\Setup.exe\0\0\\??\\C:\\K\0\0\0"s, L"\0"s},
        {L"*1\\??\\C:\\K\\Setup.exe\0\0\\??\\C:\\old\0\0*12\\??\\C:\\K\0\0\0"s, L"\\??\\C:\\old\0\0\0"s},
        {L"\\??\\c:\\k\\SETUP.EXE\0\0\0"s, L"\0"s},
        // Renames and replacements stay, the copy's own rename too.
        {L"*1\\??\\C:\\n\0*1!\\??\\C:\\x\0\\??\\C:\\K\0\0\\??\\C:\\K\\Setup.exe\0!\\??\\C:\\y\0\0"s,
         L"*1\\??\\C:\\n\0*1!\\??\\C:\\x\0\\??\\C:\\K\\Setup.exe\0!\\??\\C:\\y\0\0"s},
        {L"\\??\\C:\\old\0\0\\??\\C:\\K\0\0"s, L"\\??\\C:\\old\0\0\0"s}, // no closing empty string
        {L"\\??\\C:\\K\0\0\\??\\C:\\x\0"s, unchanged},                   // a source without a target
        {L"\\??\\C:\\K\0\0\\??"s, unchanged},                            // a string without its null
        {L""s, unchanged},
        {L"\\??\\C:\\K\\Setup.exe.bak\0\0\\??\\C:\\K2\0\0\0"s, unchanged}, // nothing of ours
    };
    const SamePathText ignoringCase = [](std::wstring_view a, std::wstring_view b) noexcept {
        return std::ranges::equal(a, b, {}, towupper, towupper);
    };
    for (const auto& [queue, expected] : rows) {
        std::wstring edited = unchanged;
        EXPECT_EQ(WithoutDeletionsOf(queue, L"C:\\K\\Setup.exe", L"C:\\K", ignoringCase, edited), expected != unchanged)
            << queue;
        EXPECT_EQ(edited, expected) << queue;
    }
}

TEST(Texts, EveryCellIsUsableAndEachLanguageItsOwn) {
    for (int id = 0; id < TextIdCount; ++id) {
        for (int language = 0; language < LanguageCount; ++language) {
            const std::wstring cell = TextTable[id][language] ? TextTable[id][language] : L"";
            ASSERT_FALSE(cell.empty()) << id << "/" << language;
            EXPECT_NE(cell.front(), L' ') << id << "/" << language;
            // The two texts that game names follow end in exactly one blank, the others in none.
            EXPECT_EQ(cell.back() == L' ', id == CloseGameFirst || id == WriteFailed) << id << "/" << language;
            EXPECT_EQ(cell.find(L"..."), std::wstring::npos) << id << "/" << language;
            if (language > 0 && id == ChooseWhereToInstall) {
                EXPECT_NE(cell, TextTable[id][language - 1]) << "a column shifted by one: " << language;
            }
        }
        EXPECT_EQ(GetText(static_cast<TextId>(id), 7), TextTable[id][0]);
        EXPECT_EQ(GetText(static_cast<TextId>(id), -1), TextTable[id][0]);
    }
    const std::uint16_t langIds[] = {0x0409, 0x0816, 0x080A, 0x0C0C, 0x0810, 0x0C07, 0x081D};
    for (int language = 0; language < LanguageCount; ++language) {
        EXPECT_EQ(LanguageFromLangId(langIds[language]), language);
    }
    EXPECT_EQ(LanguageFromLangId(0x0413), 0);
}

// What the window says in each state, word for word in English (and one German row): the
// row status after a game's name (the plug-in's status: the predecessor counts only without
// the plug-in, versions compare as numbers), and for a list the headline, button and status line.
TEST(Texts, WhatEachStateSays) {
    const GameEntry older = Entry(true, L"1.9.12"), same = Entry(true, L"1.10.2", true),
                    newer = Entry(true, L"1.10.10"), missing = Entry(false, L"1.10.2"),
                    unchecked = Entry(false, L"", false, false);
    const std::pair<ColoredText, ColoredText> rows[] = {
        {RowStatusText(Entry(false, L"", true), 0), {L"old Quillon found: will be replaced", Theme::Accent}},
        {RowStatusText(Entry(true, L""), 0), {L"installed  \u2192  update to v1.10.2", Theme::Accent}},
        {RowStatusText(older, 5), {L"v1.9.12  \u2192  Update auf v1.10.2", Theme::Accent}},
        {RowStatusText(same, 0), {L"v1.10.2 already installed", Theme::Success}},
        {RowStatusText(newer, 0), {L"v1.10.10 installed (newer than this installer)", Theme::Error}},
    };
    for (const auto& [shown, expected] : rows) {
        EXPECT_EQ(std::pair(shown.text, shown.color), std::pair(expected.text, expected.color));
    }
    EXPECT_TRUE(RowStatusText(missing, 0).text.empty());
    EXPECT_EQ(GetText(HeadlineId(false), 0) + std::wstring(L"/") + GetText(HeadlineId(true), 0),
              L"Choose where to install/Uninstall");

    const std::wstring hintUpdate = L"An older version is installed and will be updated. Your settings are kept.";
    const std::wstring hintReinstall = L"This version is already installed. Reinstalling keeps your settings.";
    struct Screen {
        bool finished, uninstallMode;
        std::vector<GameEntry> games;
        std::wstring status, button, line;
        Color lineColor;
    } screens[] = {
        // Unchecked games never count; one checked game without the plug-in makes it an install.
        {false, false, {}, L"", L"Install", L"", 0},
        {false, false, {same, older, missing}, L"", L"Install", L"", 0},
        {false, false, {same, older}, L"", L"Update", hintUpdate, Theme::Accent},
        {false, false, {same, newer, unchecked}, L"", L"Reinstall", hintReinstall, Theme::TextSecondary},
        // A status replaces the hint; no hint while uninstalling or once finished.
        {false, false, {older}, L"x", L"Update", L"x", StatusColorError},
        {false, true, {older}, L"", L"Uninstall", L"", 0},
        {true, false, {older}, L"", L"Close", L"", 0},
        {true, true, {older}, L"x", L"Close", L"x", StatusColorError},
    };
    for (const Screen& s : screens) {
        const ColoredText line = StatusLineText(s.status, StatusColorError, s.finished, s.uninstallMode, s.games, 0);
        EXPECT_EQ(GetText(MainButtonLabelId(s.finished, s.uninstallMode, s.games), 0), s.button);
        EXPECT_EQ(line.text, s.line) << s.button;
        EXPECT_TRUE(line.text.empty() || line.color == s.lineColor) << s.button;
    }
}

// Edges written as sums of separately scaled terms, at scales where scaling the sum once
// would land on another pixel.
TEST(Layout, EdgesOfSeparatelyScaledTerms) {
    struct Case {
        Rect (*rect)(float);
        float scale;
        Rect expected;
    } cases[] = {
        {[](float s) { return NameLineRect(0, s); }, 1.25f, {58, 203, 665, 236}},
        {[](float s) { return PathLineRect(0, s); }, 1.25f, {58, 236, 665, 265}},
        {[](float s) { return PathLineRect(1, s); }, 1.75f, {81, 473, 931, 514}},
        {[](float s) { return ToggleRect(0, s); }, 1.25f, {685, 218, 742, 248}},
        {[](float s) { return KnobRect(0, true, s); }, 1.5f, {859, 266, 886, 293}},
        {[](float s) { return KnobRect(0, false, s); }, 1.25f, {689, 222, 711, 244}},
        {[](float s) { return LanguagePillRect(3, s); }, 1.5f, {650, 41, 694, 73}},
        {[](float s) { return WebLinkRect(s); }, 1.25f, {35, 576, 563, 603}}, // the halves truncate
        {[](float s) { return RowStatusRect(0, s, 100); }, 1.5f, {69 + 21 + 100, 243, 798, 282}},
    };
    for (const Case& c : cases) {
        const Rect r = c.rect(c.scale), e = c.expected;
        EXPECT_EQ((std::array{r.left, r.top, r.right, r.bottom}), (std::array{e.left, e.top, e.right, e.bottom}));
    }
}

// The first target in the fixed order wins: the close glyph, the language cells, the
// main button, the web link, then (until finished) the cards and the folder link.
TEST(Layout, ClickRoutingOrder) {
    const HitContext four = {1.0f, 4, false, false};
    auto route = [](const HitContext& context, int x, int y) {
        const ClickRoute r = RouteClick(context, x, y);
        return static_cast<int>(r.target) * 10 + r.index;
    };
    constexpr int Close = 10, Language = 20, Button = 30, Link = 40, Card = 50, Folder = 60;
    EXPECT_EQ(route(four, 615, 51), Close);
    EXPECT_EQ(route(four, 616, 30), 0);
    EXPECT_EQ(route(four, 573, 24), Language + 6);
    EXPECT_EQ(route(four, 574, 30), 0);
    EXPECT_EQ(route(four, 500, 460), Button); // over the fourth card
    EXPECT_EQ(route(four, 100, 465), Link);   // over the fourth card too
    EXPECT_EQ(route(four, 100, 420), Card + 3);
    EXPECT_EQ(route(four, 40, 221), Card + 0);
    EXPECT_EQ(route(four, 40, 227), 0); // between two cards
    EXPECT_EQ(route({1.0f, 1, false, false}, 100, 250), Folder);
    EXPECT_EQ(route({1.0f, 0, false, false}, 100, 250), Folder); // below the empty-list box
    EXPECT_EQ(route({1.0f, 1, false, true}, 100, 250), 0);       // no folder link when uninstalling
    EXPECT_EQ(route({1.0f, 1, false, true}, 300, 180), Card + 0);
    EXPECT_EQ(route({1.0f, 1, true, false}, 300, 180), 0); // cards are inert once finished
    EXPECT_EQ(route({1.0f, 1, true, false}, 330, 30), Language + 0);
}

// A reader finds the element a click would act on, a text where nothing reacts; an id names an
// element only while it is on screen (the status line only while it says something); cards take
// no action once the run is finished; a card beyond the window's bottom edge is partly outside.
TEST(Layout, ElementsForReaders) {
    const HitContext four = {1.0f, 4, false, false}, finished = {1.0f, 2, true, false, true};
    auto at = [](const HitContext& context, int x, int y) {
        Element element = {};
        return ElementAtPoint(context, x, y, element) ? ChildIdOf(element) : 0;
    };
    EXPECT_EQ(at(four, 500, 460), 13); // the main button over the fourth card
    EXPECT_EQ(at(four, 100, 400), 20); // the fourth card over the status line
    EXPECT_EQ(at(four, 40, 227), 0);   // between two cards
    EXPECT_EQ(at({1.0f, 1, false, false, true}, 100, 400), 12);
    EXPECT_EQ(at({1.0f, 0, false, false}, 100, 180), 10); // the empty-list text
    EXPECT_EQ(at(finished, 100, 180), 17);                // an inert card is still there to read
    for (const HitContext& context : {four, finished, HitContext{1.5f, 0, false, true}}) {
        std::vector<long> shown;
        Element element = {};
        for (int position = 0; ElementAt(context, position, element); ++position) {
            shown.push_back(ChildIdOf(element));
        }
        EXPECT_EQ(static_cast<int>(shown.size()), ElementCount(context));
        for (long id : {-1L, 0L, 10L, 11L, 12L, 16L, 17L, 18L, 19L, 20L, 21L, LONG_MAX}) {
            bool listed = std::find(shown.begin(), shown.end(), id) != shown.end();
            EXPECT_EQ(ElementOfChildId(context, id, element) && ChildIdOf(element) == id, listed) << id;
        }
    }
    EXPECT_EQ(ElementRoute(finished, {ElementKind::Card, 0}).target, ClickTarget::None);
    const HitContext five = {1.25f, 5, false, false};
    EXPECT_TRUE(IsPartlyOutside(five, {ElementKind::Card, 4}) && !IsPartlyOutside(five, {ElementKind::Card, 3}));
}
