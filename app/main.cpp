// Process entry: start-up in a fixed order, then the message loop.
#include <windows.h>
#include <dwmapi.h>
#include <objbase.h>
#include <shellscalingapi.h>

#include <cstdlib>

#include "app/startup.h"
#include "app/state.h"
#include "app/window_proc.h"
#include "discovery/steam_libraries.h"
#include "platform/system_library.h"
#include "res/resource_ids.h"
#include "ui/theme.h"

// Replaces the C++ runtime's default terminate handler, which prints the uncaught
// exception's demangled type to a console a GUI program does not have, and whose demangler
// and printf are the largest parts of the runtime linked into the exe. No exception leaves
// the window procedure or the start-up code, so this only ever runs on a bug.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx

namespace {

constexpr DWORD WindowStyle = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX; // 0x800A0000
constexpr DWORD WindowExStyle = WS_EX_APPWINDOW;
// Not in the MinGW headers yet (Windows 11 SDK names).
constexpr DWORD CornerPreferenceAttribute = 33; // DWMWA_WINDOW_CORNER_PREFERENCE
constexpr DWORD CornerRound = 2;                // DWMWCP_ROUND

// Looked up so that the exe still starts on systems without the call.
void MakeDpiAware() noexcept {
    auto setContext =
        GetSystemProc<decltype(&SetProcessDpiAwarenessContext)>(SystemLibrary::User32, "SetProcessDpiAwarenessContext");
    if (setContext) {
        setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
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
    auto getDpi = GetSystemProc<decltype(&GetDpiForMonitor)>(SystemLibrary::Shcore, "GetDpiForMonitor");
    if (getDpi) {
        getDpi(monitor, MDT_EFFECTIVE_DPI, &dpiX, &dpiY);
    }
    return static_cast<float>(dpiX) / 96.0f;
}

void RequestRoundedCorners(HWND window) noexcept {
    auto setAttribute = GetSystemProc<decltype(&DwmSetWindowAttribute)>(SystemLibrary::Dwmapi, "DwmSetWindowAttribute");
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
    // Only a successful initialisation (S_FALSE included) is balanced at the end.
    const bool comReady = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
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
    if (comReady) {
        CoUninitialize();
    }
    return 0;
}
