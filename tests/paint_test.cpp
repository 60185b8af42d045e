// Paints the window into a 32-bit DIB section and checks pixels of the elements
// whose colour and place the layout fixes. Text is only checked for presence.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/state.h"
#include "ui/layout.h"
#include "ui/paint.h"
#include "ui/theme.h"

namespace {

GameEntry Game(int kind, bool checked, bool present = false, const wchar_t* version = L"") {
    GameEntry entry;
    entry.displayName = GameKinds[kind].displayName;
    entry.exeName = GameKinds[kind].exeName;
    entry.folder = L"C:\\Steam\\steamapps\\common\\" + entry.displayName;
    entry.checked = checked;
    entry.pluginPresent = present;
    entry.installedVersion = version;
    return entry;
}

class Paint : public ::testing::Test {
protected:
    void SetUp() override {
        state.uninstallMode = false;
        state.finished = false;
        state.language = 0;
        state.scale = 1.0f;
        state.games.clear();
        state.statusText.clear();
        state.statusColor = StatusColorInfo;
    }

    void TearDown() override {
        if (dc_) {
            SelectObject(dc_, oldBitmap_);
            DeleteObject(bitmap_);
            DeleteDC(dc_);
        }
    }

    void Render() {
        CreateFonts();
        width_ = ScaleUnits(640, state.scale);
        height_ = ScaleUnits(500, state.scale);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_; // top-down: row 0 is y 0
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(bitmap_, nullptr);
        oldBitmap_ = SelectObject(dc_, bitmap_);
        pixels_ = static_cast<const std::uint32_t*>(bits);
        PaintWindow(dc_, RECT{0, 0, width_, height_});
        GdiFlush();
    }

    // As a COLORREF (0x00BBGGRR); DIB pixels are 0x00RRGGBB.
    Color At(int x, int y) const {
        std::uint32_t p = pixels_[static_cast<size_t>(y) * width_ + x];
        return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
    }

    int CountNot(Color color, const Rect& r) const {
        int count = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                count += At(x, y) != color;
            }
        }
        return count;
    }

    int width_ = 0;
    int height_ = 0;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    const std::uint32_t* pixels_ = nullptr;
};

TEST_F(Paint, BackgroundBandStripeAndFrame) {
    Render();
    EXPECT_EQ(At(10, 120), Theme::Background);
    EXPECT_EQ(At(300, 10), Theme::Surface);
    EXPECT_EQ(At(600, 70), Theme::Surface);
    // Dashes 22 px long every 40 px on the band's last four rows.
    EXPECT_EQ(At(5, 88), Theme::Accent);
    EXPECT_EQ(At(21, 91), Theme::Accent);
    EXPECT_EQ(At(22, 90), Theme::Surface);
    EXPECT_EQ(At(39, 90), Theme::Surface);
    EXPECT_EQ(At(40, 90), Theme::Accent);
    EXPECT_EQ(At(621, 90), Theme::Accent);
    EXPECT_EQ(At(622, 90), Theme::Surface);
    EXPECT_EQ(At(5, 87), Theme::Surface);
    EXPECT_EQ(At(5, 92), Theme::Background);
    // The frame is one pixel wide and drawn over the band.
    EXPECT_EQ(At(0, 250), Theme::Border);
    EXPECT_EQ(At(639, 250), Theme::Border);
    EXPECT_EQ(At(320, 0), Theme::Border);
    EXPECT_EQ(At(320, 499), Theme::Border);
    EXPECT_EQ(At(1, 250), Theme::Background);
    EXPECT_EQ(At(320, 430), Theme::Border); // separator
    EXPECT_EQ(At(320, 431), Theme::Background);
}

TEST_F(Paint, CheckedAndUncheckedCards) {
    state.games = {Game(0, true), Game(1, false)};
    Render();
    // Outlines: one pixel, top edge included, bottom edge excluded.
    EXPECT_EQ(At(300, 150), Theme::Accent);
    EXPECT_EQ(At(300, 221), Theme::Accent);
    EXPECT_EQ(At(300, 222), Theme::Background);
    EXPECT_EQ(At(28, 186), Theme::Accent);
    EXPECT_EQ(At(300, 151), Theme::Surface);
    EXPECT_EQ(At(540, 160), Theme::Surface);
    EXPECT_EQ(At(300, 232), Theme::Border);
    EXPECT_EQ(At(611, 268), Theme::Border);
    // Checked: accent toggle with the knob at the right end.
    EXPECT_EQ(At(582, 186), Theme::TextPrimary);
    EXPECT_EQ(At(558, 186), Theme::Accent);
    EXPECT_EQ(At(593, 186), Theme::Accent);
    EXPECT_EQ(At(594, 186), Theme::Surface);
    // Unchecked: border toggle with the knob at the left end.
    EXPECT_EQ(At(560, 268), Theme::TextPrimary);
    EXPECT_EQ(At(585, 268), Theme::Border);
    EXPECT_EQ(At(547, 268), Theme::Surface);
}

TEST_F(Paint, SelectedLanguagePillAndMainButton) {
    state.language = 3;
    Render();
    EXPECT_EQ(At(436, 38), Theme::Accent);  // FR cell's pill
    EXPECT_EQ(At(431, 38), Theme::Surface); // inside the cell, outside the pill
    EXPECT_EQ(At(328, 38), Theme::Surface); // EN is not selected
    EXPECT_EQ(At(322, 38), Theme::Border);  // the switch outline
    EXPECT_EQ(At(466, 461), Theme::Accent);
    EXPECT_EQ(At(537, 443), Theme::Accent);
    EXPECT_EQ(At(537, 482), Theme::Background);
    EXPECT_GT(CountNot(Theme::Accent, MainButtonRect(1.0f)), 0); // a label on it
}

TEST_F(Paint, LanguageOutsideTheTableSelectsNoCell) {
    state.language = 9;
    Render();
    for (int c = 0; c < LanguageCellCount; ++c) {
        EXPECT_EQ(At(325 + 36 * c + 3, 38), Theme::Surface) << c;
    }
}

TEST_F(Paint, EmptyListBoxWithLinkOnlyInInstallMode) {
    Render();
    EXPECT_EQ(At(300, 150), Theme::Border);
    EXPECT_EQ(At(590, 215), Theme::Surface);
    EXPECT_EQ(At(560, 186), Theme::Surface); // no toggle
    EXPECT_GT(CountNot(Theme::Surface, EmptyListTextRect(1.0f)), 0);
    EXPECT_GT(CountNot(Theme::Background, ChooseFolderLinkRect(0, 1.0f)), 0);
    EXPECT_EQ(CountNot(Theme::Background, StatusLineRect(1.0f)), 0); // Install needs no hint
    TearDown();

    state.uninstallMode = true;
    Render();
    EXPECT_EQ(At(300, 150), Theme::Border);
    EXPECT_EQ(CountNot(Theme::Background, ChooseFolderLinkRect(0, 1.0f)), 0);
}

TEST_F(Paint, HintAndLinkDisappearWhenFinished) {
    state.games = {Game(0, true, true, InstallerVersion)};
    Render();
    EXPECT_GT(CountNot(Theme::Background, StatusLineRect(1.0f)), 0); // reinstall hint
    EXPECT_GT(CountNot(Theme::Background, ChooseFolderLinkRect(1, 1.0f)), 0);
    TearDown();

    state.finished = true;
    Render();
    EXPECT_EQ(CountNot(Theme::Background, StatusLineRect(1.0f)), 0);
    EXPECT_EQ(CountNot(Theme::Background, ChooseFolderLinkRect(1, 1.0f)), 0);
}

TEST_F(Paint, LaterCardsLieUnderTheFooter) {
    state.games = {Game(0, true), Game(1, true), Game(0, true), Game(1, true)};
    Render();
    EXPECT_EQ(At(300, 425), Theme::Surface);     // card 3 above the separator
    EXPECT_EQ(At(300, 430), Theme::Border);      // separator over card 3
    EXPECT_EQ(At(466, 461), Theme::Accent);      // main button over card 3
    EXPECT_EQ(At(582, 432), Theme::TextPrimary); // card 3's knob, above the button
}

TEST_F(Paint, ElementsMoveWithTheScale) {
    state.scale = 1.5f;
    state.games = {Game(0, false)};
    Render();
    EXPECT_EQ(width_, 960);
    EXPECT_EQ(At(959, 400), Theme::Border);
    EXPECT_EQ(At(697, 691), Theme::Accent); // main button (693, 660, 918, 723)
    EXPECT_EQ(At(692, 691), Theme::Background);
    EXPECT_EQ(At(450, 225), Theme::Border); // unchecked card 0 top edge
    EXPECT_EQ(At(450, 226), Theme::Surface);
    Rect knob = KnobRect(0, false, 1.5f);
    EXPECT_EQ(At((knob.left + knob.right) / 2, (knob.top + knob.bottom) / 2), Theme::TextPrimary);
}

LOGFONTW FontOf(HFONT font) {
    LOGFONTW log = {};
    GetObjectW(font, sizeof(log), &log);
    return log;
}

TEST(Fonts, HeightsWeightsFacesAndRecreation) {
    state.scale = 1.25f;
    CreateFonts();
    HFONT fonts[] = {state.logoFont, state.subtitleFont, state.headingFont, state.gameNameFont,
                     state.bodyFont, state.buttonFont,   state.languageFont};
    const int heights[] = {-33, -18, -20, -20, -16, -19, -16};
    const int weights[] = {600, 400, 600, 600, 400, 600, 600};
    for (int i = 0; i < 7; ++i) {
        LOGFONTW log = FontOf(fonts[i]);
        EXPECT_EQ(log.lfHeight, heights[i]) << i;
        EXPECT_EQ(log.lfWeight, weights[i]) << i;
        EXPECT_EQ(log.lfQuality, CLEARTYPE_QUALITY) << i;
        EXPECT_EQ(std::wstring(log.lfFaceName), i == 0 ? L"Segoe UI Semibold" : L"Segoe UI") << i;
    }
    EXPECT_NE(state.headingFont, state.gameNameFont);

    state.scale = 1.5f;
    CreateFonts();
    CreateFonts();
    for (HFONT old : fonts) {
        EXPECT_EQ(GetObjectType(old), 0u); // the previous handles are gone
    }
    EXPECT_EQ(FontOf(state.logoFont).lfHeight, -39);
    EXPECT_EQ(FontOf(state.bodyFont).lfHeight, -20);
    state.scale = 1.0f;
    CreateFonts();
}

} // namespace
