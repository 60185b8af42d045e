#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "discovery/plugin_status.h"

namespace {

GameEntry Entry(bool present, const wchar_t* version, bool old = false, bool checked = true) {
    GameEntry entry;
    entry.pluginPresent = present;
    entry.installedVersion = version;
    entry.oldPluginPresent = old;
    entry.checked = checked;
    return entry;
}

TEST(VersionNumber, ComposesThreePartsWithCarriesBetweenThem) {
    EXPECT_EQ(VersionNumber(L"1.10.2"), 1010002);
    EXPECT_EQ(VersionNumber(L"1.9.12"), 1009012);
    // The parts are not bounded to three digits, so a large middle part carries over.
    EXPECT_EQ(VersionNumber(L"1.1000.0"), VersionNumber(L"2.0.0"));
    EXPECT_EQ(VersionNumber(L"0.0.1000"), VersionNumber(L"0.1.0"));
    EXPECT_EQ(VersionNumber(L"1.10.2.7"), 1010002);
}

TEST(VersionNumber, ScansLikeFormattedInput) {
    EXPECT_EQ(VersionNumber(L" 1. 10.\t2"), 1010002); // white space before each number
    EXPECT_EQ(VersionNumber(L"+1.+10.+2"), 1010002);
    EXPECT_EQ(VersionNumber(L"-1.0.0"), -1000000);
    EXPECT_EQ(VersionNumber(L"1.-5.0"), 995000);
    EXPECT_EQ(VersionNumber(L"1 .10.2"), 1000000); // the dot must follow at once
    EXPECT_EQ(VersionNumber(L"1.10"), 1010000);    // missing parts stay 0
    EXPECT_EQ(VersionNumber(L"1.10.2beta"), 1010002);
    EXPECT_EQ(VersionNumber(L"1.x.2"), 1000000); // stops at the first misfit
    EXPECT_EQ(VersionNumber(L"v1.10.2"), 0);
    EXPECT_EQ(VersionNumber(L"- 1.0.0"), 0); // no white space between sign and digits
    EXPECT_EQ(VersionNumber(L""), 0);
    EXPECT_EQ(VersionNumber(L"."), 0);
}

TEST(VersionNumber, OverflowWrapsInsteadOfTrapping) {
    // Under the sanitizer build, signed overflow here would be reported.
    EXPECT_EQ(VersionNumber(L"2147484.0.0"), static_cast<int>(2147484000u * 1000u));
    EXPECT_EQ(VersionNumber(L"4294967296.0.0"), 0); // 2^32 digits wrap to 0
    EXPECT_EQ(VersionNumber(L"0.0.2147483647"), INT_MAX);
    EXPECT_EQ(VersionNumber(L"0.0.2147483648"), INT_MIN);
}

TEST(PluginStatus, FollowsPresenceThenVersion) {
    EXPECT_EQ(GetPluginStatus(Entry(false, L"")), PluginStatus::NotInstalled);
    EXPECT_EQ(GetPluginStatus(Entry(false, L"", true)), PluginStatus::UpdateNeeded);
    EXPECT_EQ(GetPluginStatus(Entry(true, L"")), PluginStatus::UpdateNeeded);
    EXPECT_EQ(GetPluginStatus(Entry(true, L"1.9.12")), PluginStatus::UpdateNeeded);
    EXPECT_EQ(GetPluginStatus(Entry(true, L"1.10.2")), PluginStatus::SameVersion);
    EXPECT_EQ(GetPluginStatus(Entry(true, L"1.10.3")), PluginStatus::NewerInstalled);
    EXPECT_EQ(GetPluginStatus(Entry(true, L"1.1000.0")), PluginStatus::NewerInstalled);
    EXPECT_EQ(GetPluginStatus(Entry(true, L"garbage")), PluginStatus::UpdateNeeded);
    // A version left in the entry means nothing once the library itself is gone.
    EXPECT_EQ(GetPluginStatus(Entry(false, L"1.10.2")), PluginStatus::NotInstalled);
    // The predecessor does not matter once the plug-in is present.
    EXPECT_EQ(GetPluginStatus(Entry(true, L"1.10.2", true)), PluginStatus::SameVersion);
    EXPECT_EQ(GetPluginStatus(Entry(true, L"2.0.0", true)), PluginStatus::NewerInstalled);
}

TEST(ButtonLabel, ChosenByTheCheckedGamesOnly) {
    GameEntry missing = Entry(false, L"");
    GameEntry old = Entry(true, L"1.9.12");
    GameEntry predecessor = Entry(false, L"", true);
    GameEntry same = Entry(true, L"1.10.2");
    GameEntry newer = Entry(true, L"2.0.0");
    auto unchecked = [](GameEntry entry) {
        entry.checked = false;
        return entry;
    };

    EXPECT_EQ(ButtonLabelIdFor({}), InstallLabel);
    EXPECT_EQ(ButtonLabelIdFor({unchecked(same), unchecked(old)}), InstallLabel);
    EXPECT_EQ(ButtonLabelIdFor({old, missing}), InstallLabel); // order does not matter
    EXPECT_EQ(ButtonLabelIdFor({missing, old}), InstallLabel);
    EXPECT_EQ(ButtonLabelIdFor({same, old}), UpdateLabel);
    EXPECT_EQ(ButtonLabelIdFor({newer, predecessor}), UpdateLabel);
    EXPECT_EQ(ButtonLabelIdFor({same, newer}), ReinstallLabel);
    EXPECT_EQ(ButtonLabelIdFor({same, unchecked(missing)}), ReinstallLabel);
    EXPECT_EQ(ButtonLabelIdFor({same, unchecked(old)}), ReinstallLabel);
    EXPECT_EQ(ButtonLabelIdFor({unchecked(missing), old}), UpdateLabel);
}

} // namespace
