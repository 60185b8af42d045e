// The window procedure on a real window, sent what X input cannot produce: a DPI change,
// points left of the screen, cursor queries, and a thousand paints.
#include <gtest/gtest.h>

#include "app/state.h"
#include "app/window_proc.h"
#include "support.h"
#include "ui/theme.h"

namespace {

LPARAM Point(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

// One window for all: under Wine without a window manager, hiding one takes seconds.
struct Window : testing::Test {
    static inline HWND window = nullptr;
    Window() {
        state = InstallerState();
        state.games.resize(2);
        CreateFonts();
        if (!window) {
            WNDCLASSEXW windowClass = {};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = WindowProc;
            windowClass.lpszClassName = WindowClassName;
            RegisterClassExW(&windowClass);
            window = CreateWindowExW(0, WindowClassName, WindowTitle, WS_POPUP | WS_VISIBLE, 0, 0, 640, 500, nullptr,
                                     nullptr, nullptr, nullptr);
        }
        SetWindowPos(window, nullptr, -400, 100, 640, 500, SWP_NOZORDER);
        state.window = window;
    }
    ~Window() override { state = InstallerState(); }
    bool HandCursorAt(int x, int y) {
        SetCursorPos(x, y);
        SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor() == LoadCursorW(nullptr, IDC_HAND);
    }
};

// The hit test reads signed screen points: the window starts 400 px left of the screen.
TEST_F(Window, HitTestAndCursorFollowTheClickTargets) {
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, Point(-400 + 100, 100 + 91)), HTCAPTION);
    EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, Point(-400 + 100, 100 + 92)), HTCLIENT);
    EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, Point(-400 + 330, 100 + 40)), HTCLIENT); // language switch
    SetWindowPos(window, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(HandCursorAt(100 + 300, 100 + 250)); // the second card
    EXPECT_FALSE(HandCursorAt(100 + 300, 100 + 227));
    state.finished = true;
    EXPECT_FALSE(HandCursorAt(100 + 300, 100 + 250));
    EXPECT_TRUE(HandCursorAt(100 + 500, 100 + 460));
}

// Only the vertical DPI counts, and the window keeps its own size at the suggested corner.
TEST_F(Window, DpiChangeTakesTheVerticalDpi) {
    RECT suggested = {300, 200, 301, 201};
    ValidateRect(window, nullptr);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(96, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT placed;
    GetWindowRect(window, &placed);
    EXPECT_EQ(state.scale, 1.5f);
    EXPECT_TRUE(placed.left == 300 && placed.top == 200 && placed.right == 300 + 960 && placed.bottom == 200 + 750);
    LOGFONTW body = {};
    GetObjectW(state.bodyFont, sizeof body, &body);
    EXPECT_EQ(body.lfHeight, -20);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(window, &update, FALSE));
    EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, Point(300 + 100, 200 + 137)), HTCAPTION);
}

// Painting covers every pixel, so erasing is refused; no paint or font change leaves a GDI object behind.
TEST_F(Window, ThousandPaintsHoldNoGdiObject) {
    EXPECT_EQ(SendMessageW(window, WM_ERASEBKGND, 0, 0), 1);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const int before = kvtest::CountGdiObjects();
    for (int i = 0; i < 1000; ++i) {
        state.language = i % LanguageCount;
        state.finished = i % 3 == 0;
        state.uninstallMode = i % 5 == 0;
        state.games.resize(static_cast<size_t>(i % 5));
        state.statusText = i % 2 ? L"" : L"status";
        if (i % 100 == 0) {
            CreateFonts();
        }
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    EXPECT_EQ(kvtest::CountGdiObjects(), before);
    HDC dc = GetDC(window);
    EXPECT_EQ(GetPixel(dc, 500, 10), Theme::Surface); // on screen: the window starts at x -400
    ReleaseDC(window, dc);
}

} // namespace
