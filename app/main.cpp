// Process entry: start-up in a fixed order, then the message loop.
#include <windows.h>
#include <objbase.h>

#include "app/startup.h"
#include "app/state.h"
#include "app/system_library.h"
#include "app/window_proc.h"
#include "discovery/steam_libraries.h"
#include "res/resource_ids.h"
#include "ui/theme.h"

namespace {

constexpr DWORD WindowStyle = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX; // 0x800A0000
constexpr DWORD WindowExStyle = WS_EX_APPWINDOW;
constexpr DWORD CornerPreferenceAttribute = 33; // DWMWA_WINDOW_CORNER_PREFERENCE
constexpr DWORD CornerRound = 2;                // DWMWCP_ROUND
constexpr int EffectiveDpi = 0;                 // MDT_EFFECTIVE_DPI

using SetDpiContextFn = BOOL(WINAPI*)(HANDLE);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using DwmSetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);

void MakeDpiAware() noexcept {
    // user32 is already loaded; looked up so that the exe still starts where the call is missing.
    auto setContext = reinterpret_cast<SetDpiContextFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
    if (setContext) {
        setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4))); // per monitor v2
    }
}

void RemoveNonInstalledGames() {
    std::vector<GameEntry> kept;
    for (const GameEntry& game : state.games) {
        if (game.pluginPresent) {
            kept.push_back(game);
        }
    }
    state.games = std::move(kept);
}

void RegisterWindowClass(HINSTANCE instance) noexcept {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    windowClass.hIconSm =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                      GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = WindowClassName;
    RegisterClassExW(&windowClass);
}

float PrimaryMonitorScale(HMONITOR monitor) noexcept {
    UINT dpiX = 96;
    UINT dpiY = 96;
    // shcore is not imported: it is not a KnownDLL, so it comes from System32 explicitly.
    auto getDpi = GetSystemProc<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
    if (getDpi) {
        getDpi(monitor, EffectiveDpi, &dpiX, &dpiY);
    }
    return static_cast<float>(dpiX) / 96.0f;
}

void RequestRoundedCorners(HWND window) noexcept {
    auto setAttribute = GetSystemProc<DwmSetWindowAttributeFn>(L"dwmapi.dll", "DwmSetWindowAttribute");
    if (setAttribute) {
        DWORD preference = CornerRound;
        setAttribute(window, CornerPreferenceAttribute, &preference, sizeof(preference));
    }
}

int RunMessageLoop() noexcept {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    // First of all: no DLL is ever loaded from the exe's own folder (a Downloads folder).
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

    MakeDpiAware();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    state.uninstallMode = HasUninstallSwitch(commandLine);
    state.language = LanguageFromLangId(GetUserDefaultUILanguage());
    DiscoverGames();
    if (state.uninstallMode) {
        RemoveNonInstalledGames();
    }
    RegisterWindowClass(instance);

    HMONITOR monitor = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    state.scale = PrimaryMonitorScale(monitor);
    CreateFonts();

    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(monitor, &info);
    WindowPlacement place =
        CenteredPlacement(info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom, state.scale);
    state.window = CreateWindowExW(WindowExStyle, WindowClassName, WindowTitle, WindowStyle, place.left, place.top,
                                   place.width, place.height, nullptr, nullptr, instance, nullptr);
    // Without a window nothing could ever post the quit message, so the loop would wait
    // forever: skip it and end the process as after a normal close.
    if (state.window) {
        RequestRoundedCorners(state.window);
        ShowWindow(state.window, SW_SHOW);
        RunMessageLoop();
    }
    CoUninitialize();
    return 0;
}
