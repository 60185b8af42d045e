#include "app/window_proc.h"

#include <windowsx.h>
#include <shellapi.h>

#include "app/accessible.h"
#include "app/product.h"
#include "app/reader_events.h"
#include "app/state.h"
#include "discovery/folder_dialog.h"
#include "install/sequences.h"
#include "platform/system_library.h"
#include "ui/layout.h"
#include "ui/paint.h"
#include "ui/theme.h"

namespace {

LRESULT OnNcHitTest(HWND window, LPARAM lParam) noexcept {
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(window, &point);
    return IsCaptionPoint(CurrentHitContext(), point.x, point.y) ? HTCAPTION : HTCLIENT;
}

// The whole area goes through one off-screen bitmap, so nothing flickers. Without the
// bitmap nothing is drawn: the next paint tries again.
void PaintOffScreen(HDC windowDc, const RECT& client) noexcept {
    HDC memoryDc = CreateCompatibleDC(windowDc);
    if (!memoryDc) {
        return;
    }
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, client.right, client.bottom);
    if (!bitmap) {
        DeleteDC(memoryDc);
        return;
    }
    HGDIOBJ oldBitmap = SelectObject(memoryDc, bitmap);
    PaintWindow(memoryDc, client);
    BitBlt(windowDc, 0, 0, client.right, client.bottom, memoryDc, 0, 0, SRCCOPY);
    SelectObject(memoryDc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
}

LRESULT OnPaint(HWND window) noexcept {
    PAINTSTRUCT paint;
    HDC windowDc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    PaintOffScreen(windowDc, client);
    EndPaint(window, &paint);
    return 0;
}

// Painting covers every pixel through the off-screen bitmap: erasing first would flicker.
LRESULT OnEraseBackground() noexcept {
    return 1;
}

// The hit-test code in the parameters is not looked at: the window has no caption
// or border of its own, so only the point decides.
LRESULT OnSetCursor(HWND window) noexcept {
    POINT point = {};
    GetCursorPos(&point);
    ScreenToClient(window, &point);
    bool clickable = IsOverClickable(CurrentHitContext(), point.x, point.y);
    SetCursor(LoadCursorW(nullptr, clickable ? IDC_HAND : IDC_ARROW));
    return 1;
}

LRESULT OnKeyDown(HWND window, WPARAM key) noexcept {
    if (key == VK_ESCAPE) {
        DestroyWindow(window);
    }
    return 0;
}

// Only the suggested position is taken: the size follows from our own layout, so
// the window is exactly 640 x 500 units at the new scale.
LRESULT OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) noexcept {
    state.scale = static_cast<float>(HIWORD(wParam)) / 96.0f;
    CreateFonts();
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    const Rect size = ClientRectFor(state.scale);
    SetWindowPos(window, nullptr, suggested->left, suggested->top, size.right, size.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    Repaint();
    return 0;
}

void RunMainAction(HWND window) noexcept {
    if (state.finished) {
        DestroyWindow(window);
    } else if (state.uninstallMode) {
        RunUninstallSequence();
    } else {
        RunInstallSequence();
    }
}

void OpenWebSite() noexcept {
    auto shellExecute = GetSystemProc<decltype(&ShellExecuteW)>(SystemLibrary::Shell32, "ShellExecuteW");
    if (shellExecute) {
        shellExecute(nullptr, L"open", ProductWebAddress, nullptr, nullptr, SW_SHOWNORMAL);
    }
}

void ToggleCard(int index) noexcept {
    GameEntry& game = state.games[static_cast<size_t>(index)];
    game.checked = !game.checked;
    Repaint();
}

// A left-button release and a reader's default action both act through here; readers hear of
// what the action changed once it is over.
void ActOn(HWND window, const ClickRoute& route) noexcept {
    const ScreenFacts before = ReadScreen();
    switch (route.target) {
    case ClickTarget::Close:
        DestroyWindow(window);
        break;
    case ClickTarget::Language:
        state.language = route.index;
        Repaint();
        break;
    case ClickTarget::MainButton:
        RunMainAction(window);
        break;
    case ClickTarget::WebLink:
        OpenWebSite();
        break;
    case ClickTarget::Card:
        ToggleCard(route.index);
        break;
    case ClickTarget::ChooseFolder:
        ChooseGameFolder();
        break;
    case ClickTarget::None:
        break;
    }
    TellReaders(before);
}

// A click acts on the release alone: no capture, no press state.
LRESULT OnLButtonUp(HWND window, LPARAM lParam) noexcept {
    ActOn(window, RouteClick(CurrentHitContext(), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    return 0;
}

// Acts only on the screen the reader was told of: the action is dropped when the screen changed
// since, even while the reader's request waited behind an install. While the folder dialog is
// open the window is disabled and takes no clicks, and no reader's action either.
LRESULT OnDefaultAction(HWND window, WPARAM request, LPARAM index) noexcept {
    const ClickRoute route = {static_cast<ClickTarget>(request & 0xFFFFFFFF), static_cast<int>(index)};
    if (IsWindowEnabled(window) && (request >> 32) == state.screenGeneration) {
        ActOn(window, route);
    }
    return 0;
}

// Every request that reached the window before this message was made before readers heard of
// the change it stands for.
LRESULT OnReadersTold(WPARAM generation) noexcept {
    state.toldGeneration = static_cast<unsigned>(generation);
    return 0;
}

// From here on nothing that reads the state reaches the window, readers included.
LRESULT OnDestroy() noexcept {
    state.window = nullptr;
    PostQuitMessage(0);
    return 0;
}

} // namespace

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST:
        return OnNcHitTest(window, lParam);
    case WM_DESTROY:
        return OnDestroy();
    case WM_PAINT:
        return OnPaint(window);
    case WM_ERASEBKGND:
        return OnEraseBackground();
    case WM_SETCURSOR:
        return OnSetCursor(window);
    case WM_KEYDOWN:
        return OnKeyDown(window, wParam);
    case WM_DPICHANGED:
        return OnDpiChanged(window, wParam, lParam);
    case WM_LBUTTONUP:
        return OnLButtonUp(window, lParam);
    case WM_GETOBJECT:
        return OnGetObject(window, wParam, lParam);
    case DefaultActionMessage:
        return OnDefaultAction(window, wParam, lParam);
    case ReadersToldMessage:
        return OnReadersTold(wParam);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
