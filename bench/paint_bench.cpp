// Painting: microseconds per full PaintWindow into a memory DC with three games, at
// scales 1.0 and 1.5, against the least any full repaint costs (one fill of the client
// area and one blit of it).
//
//   kv_paint_bench [iterations]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "app/state.h"
#include "bench/stats.h"
#include "ui/layout.h"
#include "ui/paint.h"
#include "ui/theme.h"

namespace {

GameEntry MakeGame(int kind, const wchar_t* folder, bool present, const wchar_t* version) {
    GameEntry entry;
    entry.displayName = GameKinds[kind].displayName;
    entry.exeName = GameKinds[kind].exeName;
    entry.folder = folder;
    entry.pluginPresent = present;
    entry.installedVersion = version;
    return entry;
}

// One game to update, one up to date and one with a path long enough to be shortened:
// every kind of row text is drawn.
void FillThreeGames() {
    state.games = {
        MakeGame(0, L"C:\\Program Files (x86)\\Steam\\steamapps\\common\\American Truck Simulator", true, L"1.9.0"),
        MakeGame(1, L"D:\\SteamLibrary\\steamapps\\common\\Euro Truck Simulator 2", true, L"1.10.2"),
        MakeGame(0,
                 L"E:\\Games\\Steam libraries\\The second library on the big external drive\\steamapps\\common\\"
                 L"American Truck Simulator",
                 false, L""),
    };
    state.games[2].checked = false;
}

struct Surface {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
};

// A 32-bit top-down DIB, which is what a window's compatible bitmap is on a true-colour desktop.
Surface MakeSurface(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Surface surface;
    surface.dc = CreateCompatibleDC(nullptr);
    surface.bitmap = CreateDIBSection(surface.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    surface.old = SelectObject(surface.dc, surface.bitmap);
    return surface;
}

void FreeSurface(Surface& surface) {
    SelectObject(surface.dc, surface.old);
    DeleteObject(surface.bitmap);
    DeleteDC(surface.dc);
}

double MicrosecondsSince(LONGLONG start) {
    GdiFlush();
    return bench::Seconds(bench::Now() - start) * 1e6;
}

void MeasureScale(float scale, int iterations) {
    state.scale = scale;
    CreateFonts();
    const RECT client = ToRECT(ClientRectFor(scale));
    Surface target = MakeSurface(client.right, client.bottom);
    Surface screen = MakeSurface(client.right, client.bottom);
    char name[64];

    // The very first paint at a scale also rasterises and caches every glyph.
    LONGLONG start = bench::Now();
    PaintWindow(target.dc, client);
    const double first = MicrosecondsSince(start);
    std::snprintf(name, sizeof name, "scale %.2f/first PaintWindow", scale);
    bench::PrintSummary("paint", name, "us", bench::Summarize({first}));

    for (int i = 0; i < 50; ++i) {
        PaintWindow(target.dc, client);
    }
    std::vector<double> paint;
    std::vector<double> fillBlit;
    std::vector<double> wholePaint;
    HBRUSH brush = CreateSolidBrush(RGB(22, 24, 27));
    for (int i = 0; i < iterations; ++i) {
        start = bench::Now();
        PaintWindow(target.dc, client);
        paint.push_back(MicrosecondsSince(start));

        start = bench::Now();
        FillRect(target.dc, &client, brush);
        BitBlt(screen.dc, 0, 0, client.right, client.bottom, target.dc, 0, 0, SRCCOPY);
        fillBlit.push_back(MicrosecondsSince(start));

        // What WM_PAINT does around PaintWindow: a fresh off-screen bitmap each time.
        start = bench::Now();
        HDC memoryDc = CreateCompatibleDC(screen.dc);
        HBITMAP bitmap = CreateCompatibleBitmap(screen.dc, client.right, client.bottom);
        HGDIOBJ old = SelectObject(memoryDc, bitmap);
        PaintWindow(memoryDc, client);
        BitBlt(screen.dc, 0, 0, client.right, client.bottom, memoryDc, 0, 0, SRCCOPY);
        SelectObject(memoryDc, old);
        DeleteObject(bitmap);
        DeleteDC(memoryDc);
        wholePaint.push_back(MicrosecondsSince(start));
    }
    DeleteObject(brush);
    std::snprintf(name, sizeof name, "scale %.2f/PaintWindow", scale);
    bench::PrintSummary("paint", name, "us", bench::Summarize(paint));
    std::snprintf(name, sizeof name, "scale %.2f/fill and blit", scale);
    bench::PrintSummary("paint", name, "us", bench::Summarize(fillBlit));
    std::snprintf(name, sizeof name, "scale %.2f/bitmap, PaintWindow and blit", scale);
    bench::PrintSummary("paint", name, "us", bench::Summarize(wholePaint));
    FreeSurface(screen);
    FreeSurface(target);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int iterations = argc > 1 ? _wtoi(argv[1]) : 2000;
    FillThreeGames();
    MeasureScale(1.0f, iterations);
    MeasureScale(1.5f, iterations);
    return 0;
}
