// The window procedure on a real window under Xvfb, driven by the messages that
// Windows would send.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/state.h"
#include "app/window_proc.h"
#include "ui/theme.h"

namespace {

constexpr int Left = 100;
constexpr int Top = 100;

GameEntry Game(int kind) {
    GameEntry entry;
    entry.displayName = GameKinds[kind].displayName;
    entry.exeName = GameKinds[kind].exeName;
    entry.folder = L"C:\\Steam\\steamapps\\common\\" + entry.displayName;
    return entry;
}

LPARAM Point(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

class Window : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = WindowClassName;
        RegisterClassExW(&windowClass);
    }

    void SetUp() override {
        state.uninstallMode = false;
        state.finished = false;
        state.language = 0;
        state.scale = 1.0f;
        state.games = {Game(0), Game(1)};
        state.statusText.clear();
        state.statusColor = StatusColorInfo;
        CreateFonts();
        Open(Left, Top);
    }

    void TearDown() override {
        if (IsWindow(window_)) {
            DestroyWindow(window_);
        }
        DrainQuit();
        state.window = nullptr;
    }

    void Open(int left, int top) {
        window_ = CreateWindowExW(WS_EX_APPWINDOW, WindowClassName, WindowTitle, WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX,
                                  left, top, 640, 500, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        state.window = window_;
        ShowWindow(window_, SW_SHOW);
        UpdateWindow(window_);
        Pump();
    }

    static void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quitPosted_ = true;
                continue;
            }
            DispatchMessageW(&message);
        }
    }

    static bool DrainQuit() {
        quitPosted_ = false;
        Pump();
        return quitPosted_;
    }

    LRESULT HitTest(int clientX, int clientY) {
        return SendMessageW(window_, WM_NCHITTEST, 0, Point(clientX + Left, clientY + Top));
    }

    LRESULT Click(int x, int y) { return SendMessageW(window_, WM_LBUTTONUP, 0, Point(x, y)); }

    bool Invalidated() {
        RECT update;
        return GetUpdateRect(window_, &update, FALSE) != 0;
    }

    HWND window_ = nullptr;
    static inline bool quitPosted_ = false;
};

TEST_F(Window, HitTestDragsOnlyTheBandOutsideItsControls) {
    EXPECT_EQ(HitTest(100, 40), HTCAPTION);
    EXPECT_EQ(HitTest(330, 40), HTCLIENT);
    EXPECT_EQ(HitTest(615, 30), HTCLIENT);
    EXPECT_EQ(HitTest(616, 30), HTCAPTION);
    EXPECT_EQ(HitTest(100, 95), HTCLIENT);
    EXPECT_EQ(HitTest(100, 91), HTCAPTION);
}

TEST_F(Window, HitTestReadsSignedScreenCoordinates) {
    SetWindowPos(window_, nullptr, -400, Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT placed;
    GetWindowRect(window_, &placed);
    ASSERT_EQ(placed.left, -400);
    // Client (330, 40) lies at screen x -70: read unsigned it would be far right, a caption.
    EXPECT_EQ(SendMessageW(window_, WM_NCHITTEST, 0, Point(-70, Top + 40)), HTCLIENT);
    EXPECT_EQ(SendMessageW(window_, WM_NCHITTEST, 0, Point(-300, Top + 40)), HTCAPTION);
}

TEST_F(Window, CursorIsAHandOnlyOverClickables) {
    HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    ASSERT_TRUE(SetCursorPos(Left + 600, Top + 30)); // close glyph
    EXPECT_EQ(SendMessageW(window_, WM_SETCURSOR, reinterpret_cast<WPARAM>(window_), MAKELPARAM(HTCAPTION, 0)), 1);
    EXPECT_EQ(GetCursor(), hand);
    ASSERT_TRUE(SetCursorPos(Left + 100, Top + 40));
    EXPECT_EQ(SendMessageW(window_, WM_SETCURSOR, reinterpret_cast<WPARAM>(window_), MAKELPARAM(HTCLIENT, 0)), 1);
    EXPECT_EQ(GetCursor(), arrow);
    ASSERT_TRUE(SetCursorPos(Left + 300, Top + 180)); // card 0
    SendMessageW(window_, WM_SETCURSOR, reinterpret_cast<WPARAM>(window_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), hand);
    state.finished = true; // cards are inert now
    SendMessageW(window_, WM_SETCURSOR, reinterpret_cast<WPARAM>(window_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), arrow);
}

TEST_F(Window, EscapeDestroysOtherKeysDoNothing) {
    EXPECT_EQ(SendMessageW(window_, WM_KEYDOWN, VK_RETURN, 0), 0);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_EQ(SendMessageW(window_, WM_KEYDOWN, VK_ESCAPE, 0), 0);
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_TRUE(DrainQuit());
}

TEST_F(Window, LanguageCellSwitchesAndRepaints) {
    ValidateRect(window_, nullptr);
    EXPECT_EQ(Click(322 + 36 * 5 + 1, 30), 0);
    EXPECT_EQ(state.language, 5);
    EXPECT_TRUE(Invalidated());
    Click(322, 51);
    EXPECT_EQ(state.language, 0);
}

TEST_F(Window, CardClicksToggleEachTime) {
    ValidateRect(window_, nullptr);
    Click(300, 250); // card 1
    EXPECT_TRUE(state.games[0].checked);
    EXPECT_FALSE(state.games[1].checked);
    EXPECT_TRUE(Invalidated());
    // A double click arrives as two releases: the card ends as it was.
    Click(300, 180);
    Click(300, 180);
    EXPECT_TRUE(state.games[0].checked);

    state.uninstallMode = true;
    Click(300, 250);
    EXPECT_TRUE(state.games[1].checked);
}

TEST_F(Window, FinishedRunLeavesCardsInertAndTheButtonCloses) {
    state.finished = true;
    ValidateRect(window_, nullptr);
    Click(300, 180);
    EXPECT_TRUE(state.games[0].checked);
    EXPECT_FALSE(Invalidated());
    Click(330, 30);
    EXPECT_EQ(state.language, 0);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_EQ(Click(500, 460), 0);
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_TRUE(DrainQuit());
}

TEST_F(Window, CloseGlyphDestroys) {
    Click(616, 30); // just outside
    EXPECT_TRUE(IsWindow(window_));
    Click(615, 30);
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_TRUE(DrainQuit());
}

TEST_F(Window, DpiChangeResizesToOwnLayoutAtTheSuggestedCorner) {
    RECT suggested = {300, 200, 301, 201}; // the size part is ignored
    ValidateRect(window_, nullptr);
    EXPECT_EQ(SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested)), 0);
    EXPECT_EQ(state.scale, 1.5f);
    RECT placed;
    GetWindowRect(window_, &placed);
    EXPECT_EQ(placed.left, 300);
    EXPECT_EQ(placed.top, 200);
    EXPECT_EQ(placed.right - placed.left, 960);
    EXPECT_EQ(placed.bottom - placed.top, 750);
    LOGFONTW body = {};
    GetObjectW(state.bodyFont, sizeof(body), &body);
    EXPECT_EQ(body.lfHeight, -20);
    EXPECT_TRUE(Invalidated());
    // Hit regions follow: the close glyph is at (882, 36) and the band 138 px high now.
    EXPECT_EQ(SendMessageW(window_, WM_NCHITTEST, 0, Point(300 + 882, 200 + 36)), HTCLIENT);
    EXPECT_EQ(SendMessageW(window_, WM_NCHITTEST, 0, Point(300 + 100, 200 + 130)), HTCAPTION);
}

TEST_F(Window, PaintCoversTheWindowWithoutErasing) {
    EXPECT_EQ(SendMessageW(window_, WM_ERASEBKGND, 0, 0), 1);
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
    EXPECT_FALSE(Invalidated());
    HDC dc = GetDC(window_);
    EXPECT_EQ(GetPixel(dc, 300, 10), Theme::Surface);
    EXPECT_EQ(GetPixel(dc, 10, 120), Theme::Background);
    EXPECT_EQ(GetPixel(dc, 0, 250), Theme::Border);
    ReleaseDC(window_, dc);
}

} // namespace
