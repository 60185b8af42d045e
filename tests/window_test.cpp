// The window procedure on a real window, sent what X input cannot produce: points left of
// the screen, cursor queries, paints through every state, an erase, and a DPI change; and the
// choices that are made only while painting, read from the window's pixels. Then what a reader
// in this process can do to the window's accessible object, during and after the window's life.
#include <gtest/gtest.h>
#include <oleacc.h>
#include <servprov.h>
#include <uiautomationcore.h>

#include "app/state.h"
#include "app/window_proc.h"
#include "platform/system_library.h"
#include "support.h"
#include "ui/theme.h"

LRESULT Send(UINT message, WPARAM wParam, int x, int y) {
    return SendMessageW(state.window, message, wParam, MAKELPARAM(static_cast<short>(x), static_cast<short>(y)));
}

// Pixels of a colour in a rectangle of the window, as the window shows them.
int Count(const Rect& r, COLORREF color) {
    HDC dc = GetDC(state.window);
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            count += GetPixel(dc, x, y) == color;
        }
    }
    ReleaseDC(state.window, dc);
    return count;
}

HWND CreateTestWindow(int x, int y, DWORD style = WS_POPUP | WS_VISIBLE) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.lpszClassName = WindowClassName;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassExW(&windowClass);
    return CreateWindowExW(0, WindowClassName, WindowTitle, style, x, y, 640, 500, nullptr, nullptr, nullptr, nullptr);
}

TEST(Window, WhatXInputCannotSend) {
    state.games.resize(2);
    CreateFonts();
    state.window = CreateTestWindow(-400, 100);
    // 400 px left of the screen: the hit test reads its point as signed.
    EXPECT_EQ(Send(WM_NCHITTEST, 0, -400 + 100, 100 + 91), HTCAPTION);
    EXPECT_EQ(Send(WM_NCHITTEST, 0, -400 + 100, 100 + 92), HTCLIENT);
    EXPECT_EQ(Send(WM_NCHITTEST, 0, -400 + 330, 100 + 40), HTCLIENT); // the language switch
    SetWindowPos(state.window, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    // The cursor follows the click routing at the pointer: a hand over the second card until finished.
    SetCursorPos(100 + 300, 100 + 250);
    for (bool finished : {false, true}) {
        state.finished = finished;
        Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(state.window), HTCLIENT, WM_MOUSEMOVE);
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, finished ? IDC_ARROW : IDC_HAND));
    }

    // Choices made only while painting: the empty-list box with its text in either mode, text
    // drawn on a transparent background (never the white default), the footer over a fourth card.
    state.games.clear();
    const Rect text = {46, 160, 594, 212};
    for (bool uninstallMode : {false, true}) {
        state.uninstallMode = uninstallMode;
        RedrawWindow(state.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(Count(EmptyListTextRect(1), Theme::Background), 0);
        EXPECT_LT(Count(text, Theme::Surface), (text.right - text.left) * (text.bottom - text.top) - 100);
        EXPECT_EQ(Count(ClientRectFor(1), RGB(255, 255, 255)), 0);
    }
    state.games.resize(4);
    RedrawWindow(state.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(Count({470, 448, 604, 474}, Theme::Surface) == 0 && Count(SeparatorRect(1), Theme::Border) == 584);
    // Painting covers every pixel: an erase never shows, even with a class brush.
    RedrawWindow(state.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
    EXPECT_EQ(Count({5, 120, 6, 121}, Theme::Background), 1);
    // No paint or font change keeps a GDI object.
    const int gdiObjects = CountGdiObjects();
    for (int i = 0; i < 60; ++i) {
        state.finished = i % 3 == 0;
        state.uninstallMode = i % 5 == 0;
        state.games.resize(static_cast<size_t>(i % 5));
        state.statusText = i % 2 ? L"" : L"status";
        CreateFonts();
        RedrawWindow(state.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    EXPECT_EQ(CountGdiObjects(), gdiObjects);

    // Only the vertical DPI counts; the window takes its own size at the suggested corner.
    RECT suggested = {300, 200, 301, 201}, placed;
    ValidateRect(state.window, nullptr);
    SendMessageW(state.window, WM_DPICHANGED, MAKEWPARAM(96, 144), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(state.window, &placed);
    EXPECT_EQ(state.scale, 1.5f);
    EXPECT_TRUE(placed.left == 300 && placed.top == 200 && placed.right == 300 + 960 && placed.bottom == 200 + 750);
    LOGFONTW body = {};
    GetObjectW(state.bodyFont, sizeof body, &body);
    EXPECT_EQ(body.lfHeight, -20);
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetUpdateRgn(state.window, update, FALSE), SIMPLEREGION); // all of it, not only what the growth exposed
    DeleteObject(update);
    EXPECT_EQ(Send(WM_NCHITTEST, 0, 300 + 100, 200 + 137), HTCAPTION);
}

VARIANT Child(long id, VARTYPE type = VT_I4) {
    VARIANT child = {};
    child.vt = type;
    child.lVal = id;
    return child;
}

TEST(Window, AccessibleObjectTakesAnyArgumentAndOutlivesTheWindow) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    state = {};
    state.games.resize(1);
    state.window = CreateTestWindow(100, 100, WS_POPUP); // hidden: without a window manager Wine waits 2 s to destroy
    // Any UI Automation client makes Windows ask every window for its objects: only a request for
    // the client area may load oleacc or oleaut32.
    for (LONG id : std::initializer_list<LONG>{OBJID_WINDOW, -25 /* UiaRootObjectId */, OBJID_CARET}) {
        SendMessageW(state.window, WM_GETOBJECT, 0, static_cast<DWORD>(id));
    }
    EXPECT_FALSE(GetModuleHandleW(L"oleacc.dll") || GetModuleHandleW(L"oleaut32.dll"));
    IAccessible* client = nullptr;
    auto AccessibleObjectFromWindow =
        GetSystemProc<decltype(&::AccessibleObjectFromWindow)>(SystemLibrary::Oleacc, "AccessibleObjectFromWindow");
    ASSERT_EQ(AccessibleObjectFromWindow(state.window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                         reinterpret_cast<void**>(&client)),
              S_OK);
    // Every request gets an object of its own: COM gives every process that reads one object the
    // same enumerator. Each enumerator and each clone keeps a place of its own; a clone is an
    // object of its own, or COM would hand another process the enumerator it was cloned from.
    IAccessible* other = nullptr;
    AccessibleObjectFromWindow(state.window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                               reinterpret_cast<void**>(&other));
    EXPECT_TRUE(other && other != client);
    IEnumVARIANT *children = nullptr, *second = nullptr, *clone = nullptr;
    ASSERT_EQ(client->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&children)), S_OK);
    ASSERT_EQ(client->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&second)), S_OK);
    VARIANT ids[3] = {};
    IUnknown* identity = nullptr;
    children->Skip(2);
    ASSERT_EQ(children->Clone(&clone), S_OK);
    second->Next(1, &ids[0], nullptr);
    clone->Next(1, &ids[1], nullptr);
    children->Next(1, &ids[2], nullptr);
    EXPECT_TRUE(ids[0].lVal == 16 && ids[1].lVal == 2 && ids[2].lVal == 2) << ids[0].lVal << ids[1].lVal << ids[2].lVal;
    clone->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    EXPECT_NE(identity, static_cast<IUnknown*>(client));
    for (IUnknown* done : std::initializer_list<IUnknown*>{other, identity, second, clone}) {
        done->Release();
    }
    // For UI Automation the status line is a polite live region, and no other element is anything
    // more than its IAccessible answers.
    IServiceProvider* services = nullptr;
    IAccessibleEx *self = nullptr, *status = nullptr, *button = nullptr;
    IRawElementProviderSimple* provider = nullptr;
    VARIANT live = {};
    ASSERT_EQ(client->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&services)), S_OK);
    ASSERT_EQ(services->QueryService(IID_IAccessibleEx, IID_IAccessibleEx, reinterpret_cast<void**>(&self)), S_OK);
    EXPECT_TRUE(self->GetObjectForChild(13, &button) == S_OK && !button);
    ASSERT_TRUE(self->GetObjectForChild(12, &status) == S_OK && status);
    ASSERT_EQ(status->QueryInterface(IID_IRawElementProviderSimple, reinterpret_cast<void**>(&provider)), S_OK);
    EXPECT_TRUE(provider->GetPropertyValue(30135, &live) == S_OK && live.vt == VT_I4 && live.lVal == 1);
    for (IUnknown* done : std::initializer_list<IUnknown*>{services, self, status}) {
        done->Release();
    }
    VARIANT found = Child(0);
    BSTR text = nullptr;
    long left = 0;
    EXPECT_TRUE(client->accHitTest(100 + 500, 100 + 460, &found) == S_OK && found.lVal == 13); // screen points
    EXPECT_TRUE(client->accHitTest(99, 100, &found) == S_FALSE && found.vt == VT_EMPTY);
    for (VARIANT bad : {Child(17, VT_I2), Child(17, VT_BSTR), Child(10), Child(18), Child(-3), Child(LONG_MIN)}) {
        EXPECT_EQ(client->get_accName(bad, &text), E_INVALIDARG);
        EXPECT_EQ(client->accDoDefaultAction(bad), E_INVALIDARG);
    }
    EXPECT_EQ(client->get_accName(Child(17), nullptr), E_INVALIDARG);
    EXPECT_EQ(client->accLocation(&left, nullptr, &left, &left, Child(17)), E_INVALIDARG);
    EXPECT_EQ(client->accNavigate(NAVDIR_NEXT, Child(17), nullptr), E_INVALIDARG);
    EXPECT_EQ(children->Next(2, nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(children->Skip(ULONG_MAX), S_FALSE);

    // Landing on the window, a reader hears what it is about and what it says now, whichever of the
    // two it speaks. Taking the selection of a language chooses it, as of Windows' own radio buttons.
    state.statusText = L"Done!";
    auto freeString = GetSystemProc<decltype(&SysFreeString)>(SystemLibrary::Oleaut32, "SysFreeString");
    for (auto get : {&IAccessible::get_accDescription, &IAccessible::get_accHelp}) {
        (client->*get)(Child(CHILDID_SELF), &text);
        EXPECT_STREQ(text, L"Choose where to install. Done!");
        freeString(text);
    }
    EXPECT_EQ(client->accSelect(SELFLAG_TAKESELECTION, Child(17)), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(client->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Child(6)), S_OK);
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
        DispatchMessageW(&message);
    }
    EXPECT_EQ(state.language, 5);

    DestroyWindow(state.window);
    EXPECT_EQ(client->get_accName(Child(17), &text), RPC_E_DISCONNECTED);
    EXPECT_EQ(provider->GetPropertyValue(30135, &live), RPC_E_DISCONNECTED);
    EXPECT_EQ(client->accHitTest(100 + 500, 100 + 460, &found), RPC_E_DISCONNECTED);
    EXPECT_EQ(client->accDoDefaultAction(Child(13)), RPC_E_DISCONNECTED);
    EXPECT_EQ(children->Reset(), RPC_E_DISCONNECTED);
    EXPECT_EQ(provider->Release() + children->Release(), 0u);
    EXPECT_EQ(client->Release(), 0u); // the last reference: the object goes, nothing it made holds it
    CoUninitialize();
}
