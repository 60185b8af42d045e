// Paints the window off screen for one scenario, language and scale and writes a
// 24-bit BMP: render_window <install|uninstall|finished|empty|error> <language 0-6> <scale> <out.bmp>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/state.h"
#include "ui/paint.h"
#include "ui/theme.h"

namespace {

GameEntry Game(int kind, const wchar_t* folder, bool checked, bool present, const wchar_t* version, bool old) {
    GameEntry entry;
    entry.displayName = GameKinds[kind].displayName;
    entry.exeName = GameKinds[kind].exeName;
    entry.folder = folder;
    entry.checked = checked;
    entry.pluginPresent = present;
    entry.installedVersion = version;
    entry.oldPluginPresent = old;
    return entry;
}

constexpr wchar_t SteamCommon[] = L"C:\\Program Files (x86)\\Steam\\steamapps\\common\\";
constexpr wchar_t LongLibrary[] =
    L"D:\\Games\\Steam Libraries\\Second library on the big drive\\steamapps\\common\\Euro Truck Simulator 2";

bool FillScenario(const std::wstring& name) {
    std::wstring ats = std::wstring(SteamCommon) + L"American Truck Simulator";
    if (name == L"install") {
        state.games.push_back(Game(0, ats.c_str(), true, true, L"1.9.0", false));
        state.games.push_back(Game(1, LongLibrary, false, false, L"", true));
    } else if (name == L"uninstall") {
        state.uninstallMode = true;
        state.games.push_back(Game(0, ats.c_str(), true, true, L"1.10.2", false));
        state.games.push_back(Game(1, LongLibrary, false, true, L"1.10.2", false));
    } else if (name == L"finished") {
        state.finished = true;
        state.games.push_back(Game(0, ats.c_str(), true, true, InstallerVersion, false));
        state.games.push_back(Game(1, LongLibrary, true, true, InstallerVersion, false));
        state.statusText = GetText(DoneInstalled);
        state.statusColor = StatusColorSuccess;
    } else if (name == L"error") {
        state.games.push_back(Game(0, ats.c_str(), true, true, L"", false));
        state.games.push_back(Game(1, LongLibrary, true, true, L"1.11.0", false));
        state.statusText = std::wstring(GetText(WriteFailed)) + GameKinds[0].displayName + L", " +
                           GameKinds[1].displayName + L". " + GetText(RunAsAdministrator);
        state.statusColor = StatusColorError;
    } else if (name != L"empty") {
        return false;
    }
    return true;
}

bool WriteBmp(const wchar_t* path, const std::uint32_t* pixels, int width, int height) {
    int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height; // bottom-up, what every reader accepts
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(stride * height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + info.biSizeImage;

    FILE* out = _wfopen(path, L"wb");
    if (!out) {
        return false;
    }
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&info, sizeof(info), 1, out);
    std::vector<unsigned char> row(static_cast<size_t>(stride), 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t p = pixels[static_cast<size_t>(y) * width + x];
            row[x * 3 + 0] = static_cast<unsigned char>(p);
            row[x * 3 + 1] = static_cast<unsigned char>(p >> 8);
            row[x * 3 + 2] = static_cast<unsigned char>(p >> 16);
        }
        std::fwrite(row.data(), 1, row.size(), out);
    }
    return std::fclose(out) == 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) {
        std::fwprintf(stderr,
                      L"usage: render_window <install|uninstall|finished|empty|error> <0-6> <scale> <out.bmp>\n");
        return 2;
    }
    state.language = std::wcstol(argv[2], nullptr, 10);
    state.scale = std::wcstof(argv[3], nullptr);
    if (!FillScenario(argv[1])) {
        std::fwprintf(stderr, L"unknown scenario %ls\n", argv[1]);
        return 2;
    }
    CreateFonts();

    const Rect size = ClientRectFor(state.scale);
    const int width = size.right;
    const int height = size.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT client = {0, 0, width, height};
    PaintWindow(dc, client);
    GdiFlush();
    bool written = WriteBmp(argv[4], static_cast<const std::uint32_t*>(bits), width, height);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return written ? 0 : 1;
}
