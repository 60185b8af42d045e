#include <gtest/gtest.h>

#include "app/startup.h"
#include "ui/layout.h"

namespace {

TEST(UninstallSwitch, SubstringAnywhereAndCaseSensitive) {
    EXPECT_TRUE(HasUninstallSwitch(L"/uninstall"));
    EXPECT_TRUE(HasUninstallSwitch(L"\"C:\\Users\\me\\AppData\\Local\\Kestrovane\\Kestrovane-Setup.exe\" /uninstall"));
    EXPECT_TRUE(HasUninstallSwitch(L"x/uninstallY"));
    EXPECT_FALSE(HasUninstallSwitch(L"/UNINSTALL"));
    EXPECT_FALSE(HasUninstallSwitch(L"/Uninstall"));
    EXPECT_FALSE(HasUninstallSwitch(L"-uninstall"));
    EXPECT_FALSE(HasUninstallSwitch(L"/uninstal"));
    EXPECT_FALSE(HasUninstallSwitch(L""));
    EXPECT_FALSE(HasUninstallSwitch(nullptr));
}

TEST(ScaleUnits, RoundsHalfUpInSinglePrecision) {
    EXPECT_EQ(ScaleUnits(640, 1.0f), 640);
    EXPECT_EQ(ScaleUnits(640, 1.25f), 800);
    EXPECT_EQ(ScaleUnits(500, 1.75f), 875);
    EXPECT_EQ(ScaleUnits(3, 1.5f), 5);    // 4.5 rounds up
    EXPECT_EQ(ScaleUnits(18, 1.25f), 23); // 22.5 rounds up
    EXPECT_EQ(ScaleUnits(13, 1.25f), 16); // 16.25 rounds down
    EXPECT_EQ(ScaleUnits(0, 2.0f), 0);
    // 120 / 96 and 144 / 96 as the start-up computes them.
    EXPECT_EQ(ScaleUnits(92, 120.0f / 96.0f), 115);
    EXPECT_EQ(ScaleUnits(101, 144.0f / 96.0f), 152);
}

TEST(WindowPlacement, CentredInTheWorkAreaWithTruncatingHalves) {
    WindowPlacement p = CenteredPlacement(0, 0, 1024, 768, 1.0f);
    EXPECT_EQ(p.width, 640);
    EXPECT_EQ(p.height, 500);
    EXPECT_EQ(p.left, 192);
    EXPECT_EQ(p.top, 134);
    p = CenteredPlacement(0, 0, 1920, 1040, 1.5f);
    EXPECT_EQ(p.width, 960);
    EXPECT_EQ(p.height, 750);
    EXPECT_EQ(p.left, 480);
    EXPECT_EQ(p.top, 145);
    // Odd leftovers and an offset work area (task bar on the left or top).
    p = CenteredPlacement(41, 31, 1366, 768, 1.25f);
    EXPECT_EQ(p.left, 41 + (1325 - 800) / 2);
    EXPECT_EQ(p.top, 31 + (737 - 625) / 2);
    // A work area smaller than the window: the halving truncates toward zero.
    p = CenteredPlacement(0, 0, 639, 400, 1.0f);
    EXPECT_EQ(p.left, 0);
    EXPECT_EQ(p.top, -50);
}

} // namespace
