// Long runs that must leave the process holding what it held before: GDI objects across
// many paints and font re-creations.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/state.h"
#include "resource_tracker.h"
#include "ui/paint.h"
#include "ui/theme.h"

namespace {

GameEntry Game(const wchar_t* name, const wchar_t* folder, bool checked, bool present, const wchar_t* version,
               bool old) {
    GameEntry entry;
    entry.displayName = name;
    entry.exeName = L"x.exe";
    entry.folder = folder;
    entry.checked = checked;
    entry.pluginPresent = present;
    entry.installedVersion = version;
    entry.oldPluginPresent = old;
    return entry;
}

class GdiLeaks : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kvtest::TrackGdiObjects()) << "could not route the GDI imports through the counters";
        state = InstallerState{};
        state.games = {
            Game(L"American Truck Simulator", L"C:\\Steam\\steamapps\\common\\American Truck Simulator", true, true,
                 L"1.9.12", false),
            Game(L"Euro Truck Simulator 2", L"D:\\SteamLibrary\\steamapps\\common\\Euro Truck Simulator 2", false,
                 false, L"", true),
            Game(L"Euro Truck Simulator 2", L"E:\\Games\\Euro Truck Simulator 2", true, true, L"1.10.2", false),
        };
    }
    void TearDown() override {
        for (HFONT* font : {&state.logoFont, &state.subtitleFont, &state.headingFont, &state.gameNameFont,
                            &state.bodyFont, &state.buttonFont, &state.languageFont}) {
            if (*font) {
                DeleteObject(*font);
                *font = nullptr;
            }
        }
    }
};

TEST_F(GdiLeaks, TheCounterSeesALeakAndItsRepair) {
    const size_t before = kvtest::Gdi().live.size();
    HBRUSH leaked = CreateSolidBrush(Theme::Accent);
    EXPECT_EQ(kvtest::Gdi().live.size(), before + 1);
    DeleteObject(leaked);
    EXPECT_EQ(kvtest::Gdi().live.size(), before);
}

TEST_F(GdiLeaks, ThousandFullPaintsAndHundredFontRecreationsHoldNothingNew) {
    state.scale = 1.5f;
    CreateFonts();
    const size_t fontsOnly = kvtest::Gdi().live.size();
    const DWORD guiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 960, 750);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const size_t withTarget = kvtest::Gdi().live.size();
    RECT client = {0, 0, 960, 750};
    for (int i = 0; i < 1000; ++i) {
        // Every situation the painter draws: statuses, hint, finished, uninstall, a status message.
        state.finished = i % 4 == 1;
        state.uninstallMode = i % 4 == 2;
        state.statusText = i % 4 == 3 ? L"Could not write to the game folder: Euro Truck Simulator 2. " : L"";
        state.language = i % 7;
        PaintWindow(memory, client);
        ASSERT_EQ(kvtest::Gdi().live.size(), withTarget) << "paint " << i << " left GDI objects behind";
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(kvtest::Gdi().live.size(), fontsOnly);

    for (int i = 0; i < 100; ++i) {
        state.scale = i % 2 ? 1.0f : 1.75f;
        CreateFonts();
    }
    EXPECT_EQ(kvtest::Gdi().live.size(), fontsOnly) << "font re-creation must delete the previous seven";
    EXPECT_EQ(kvtest::Gdi().deletedWhileSelected, 0) << "an object was deleted while still selected";
    EXPECT_EQ(kvtest::Gdi().failedDeletes, 0);
    // A stub that answers 0 under Wine; the real count on Windows.
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), guiBefore);
}

TEST_F(GdiLeaks, FontsAreSevenLiveHandlesAfterRepeatedCreation) {
    const size_t before = kvtest::Gdi().live.size();
    CreateFonts();
    CreateFonts();
    EXPECT_EQ(kvtest::Gdi().live.size(), before + 7);
    HFONT fonts[] = {state.logoFont,  state.subtitleFont, state.headingFont, state.gameNameFont,
                     state.bodyFont,  state.buttonFont,   state.languageFont};
    for (HFONT font : fonts) {
        EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
        EXPECT_EQ(kvtest::Gdi().live.count(font), 1u);
    }
}

} // namespace
