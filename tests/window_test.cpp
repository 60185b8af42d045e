// The window procedure on a real window, sent what X input cannot produce: points left of
// the screen, cursor queries, a thousand paints, and a DPI change.
#include <gtest/gtest.h>

#include "app/state.h"
#include "app/window_proc.h"
#include "support.h"
#include "ui/theme.h"

LRESULT Send(UINT message, WPARAM wParam, int x, int y) {
    return SendMessageW(state.window, message, wParam, MAKELPARAM(static_cast<short>(x), static_cast<short>(y)));
}

bool HandCursorAt(int x, int y) {
    SetCursorPos(x, y);
    Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(state.window), HTCLIENT, WM_MOUSEMOVE);
    return GetCursor() == LoadCursorW(nullptr, IDC_HAND);
}

TEST(Window, WhatXInputCannotSend) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.lpszClassName = WindowClassName;
    RegisterClassExW(&windowClass);
    state.games.resize(2);
    CreateFonts();
    state.window = CreateWindowExW(0, WindowClassName, WindowTitle, WS_POPUP | WS_VISIBLE, -400, 100, 640, 500, nullptr,
                                   nullptr, nullptr, nullptr);
    // 400 px left of the screen: the hit test reads its point as signed.
    EXPECT_EQ(Send(WM_NCHITTEST, 0, -400 + 100, 100 + 91), HTCAPTION);
    EXPECT_EQ(Send(WM_NCHITTEST, 0, -400 + 100, 100 + 92), HTCLIENT);
    EXPECT_EQ(Send(WM_NCHITTEST, 0, -400 + 330, 100 + 40), HTCLIENT); // the language switch
    SetWindowPos(state.window, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(HandCursorAt(100 + 300, 100 + 250)); // the second card
    EXPECT_FALSE(HandCursorAt(100 + 300, 100 + 227));
    state.finished = true;
    EXPECT_FALSE(HandCursorAt(100 + 300, 100 + 250));
    EXPECT_TRUE(HandCursorAt(100 + 500, 100 + 460));

    // Painting covers every pixel, so erasing is refused; no paint or font change keeps a GDI object.
    EXPECT_EQ(Send(WM_ERASEBKGND, 0, 0, 0), 1);
    RedrawWindow(state.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const int gdiObjects = CountGdiObjects();
    for (int i = 0; i < 1000; ++i) {
        state.language = i % LanguageCount;
        state.finished = i % 3 == 0;
        state.uninstallMode = i % 5 == 0;
        state.games.resize(static_cast<size_t>(i % 5));
        state.statusText = i % 2 ? L"" : L"status";
        if (i % 100 == 0) {
            CreateFonts();
        }
        RedrawWindow(state.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    EXPECT_EQ(CountGdiObjects(), gdiObjects);

    // Only the vertical DPI counts; the window takes its own size at the suggested corner.
    RECT suggested = {300, 200, 301, 201}, placed;
    SendMessageW(state.window, WM_DPICHANGED, MAKEWPARAM(96, 144), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(state.window, &placed);
    EXPECT_EQ(state.scale, 1.5f);
    EXPECT_TRUE(placed.left == 300 && placed.top == 200 && placed.right == 300 + 960 && placed.bottom == 200 + 750);
    LOGFONTW body = {};
    GetObjectW(state.bodyFont, sizeof body, &body);
    EXPECT_EQ(body.lfHeight, -20);
    EXPECT_TRUE(GetUpdateRect(state.window, nullptr, FALSE));
    EXPECT_EQ(Send(WM_NCHITTEST, 0, 300 + 100, 200 + 137), HTCAPTION);
}
