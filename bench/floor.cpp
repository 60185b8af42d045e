// The floor for the time-to-window measurement: the least a program does before its
// window can show. A borderless window of the installer's size, centred, painted through
// one off-screen bitmap (a few rectangles, one line of text), and a plain message loop.
// Built with the same compiler, flags and static runtime as the installer.
#include <windows.h>

namespace {

HFONT font = nullptr;

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
    RECT rect = {left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

LRESULT OnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC windowDc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, client.right, client.bottom);
    HGDIOBJ oldBitmap = SelectObject(memoryDc, bitmap);
    Fill(memoryDc, 0, 0, client.right, client.bottom, RGB(22, 24, 27));
    Fill(memoryDc, 0, 0, client.right, client.bottom / 5, RGB(32, 35, 40));
    Fill(memoryDc, client.right / 10, client.bottom / 3, client.right * 9 / 10, client.bottom / 2, RGB(32, 35, 40));
    Fill(memoryDc, client.right * 2 / 3, client.bottom * 7 / 8, client.right * 9 / 10, client.bottom * 19 / 20,
         RGB(242, 183, 5));
    HGDIOBJ oldFont = SelectObject(memoryDc, font);
    SetBkMode(memoryDc, TRANSPARENT);
    SetTextColor(memoryDc, RGB(238, 240, 242));
    RECT line = {client.right / 10, client.bottom / 5, client.right, client.bottom / 3};
    DrawTextW(memoryDc, L"Choose where to install", -1, &line, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(memoryDc, oldFont);
    BitBlt(windowDc, 0, 0, client.right, client.bottom, memoryDc, 0, 0, SRCCOPY);
    SelectObject(memoryDc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    EndPaint(window, &paint);
    return 0;
}

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        return OnPaint(window);
    case WM_ERASEBKGND:
        return 1;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const int width = MulDiv(640, dpi, 96);
    const int height = MulDiv(500, dpi, 96);
    font = CreateFontW(-MulDiv(16, dpi, 96), 0, 0, 0, FW_SEMIBOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, 0, L"Segoe UI");

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = FloorProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"KestrovaneBenchFloor";
    RegisterClassExW(&windowClass);

    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HWND window = CreateWindowExW(
        WS_EX_APPWINDOW, windowClass.lpszClassName, L"Floor", WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX,
        work.left + (work.right - work.left - width) / 2, work.top + (work.bottom - work.top - height) / 2, width,
        height, nullptr, nullptr, instance, nullptr);
    if (!window) {
        return 1;
    }
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
