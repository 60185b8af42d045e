// Starts the built installer as a user would and watches its window from outside.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

constexpr wchar_t DesktopKey[] = L"Control Panel\\Desktop";

struct Started {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;
};

struct FindContext {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindInstallerWindow(HWND window, LPARAM param) {
    auto* context = reinterpret_cast<FindContext*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (owner == context->processId && std::wstring(className) == L"KestrovaneSetup" && IsWindowVisible(window)) {
        context->found = window;
        return FALSE;
    }
    return TRUE;
}

Started StartInstaller(const std::wstring& arguments, const std::wstring& exe = KV_INSTALLER_EXE) {
    Started started;
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started.process)) {
        return started;
    }
    for (int i = 0; i < 300 && !started.window; ++i) {
        FindContext context = {started.process.dwProcessId, nullptr};
        EnumWindows(FindInstallerWindow, reinterpret_cast<LPARAM>(&context));
        started.window = context.found;
        if (!started.window) {
            Sleep(50);
        }
    }
    return started;
}

DWORD CloseWithEscapeAndWait(Started& started) {
    PostMessageW(started.window, WM_KEYDOWN, VK_ESCAPE, 0);
    DWORD exitCode = 12345;
    if (WaitForSingleObject(started.process.hProcess, 15000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(started.process.hProcess, &exitCode);
    } else {
        TerminateProcess(started.process.hProcess, 99);
    }
    CloseHandle(started.process.hThread);
    CloseHandle(started.process.hProcess);
    return exitCode;
}

// Sets the DPI the next process sees, and puts the old value back afterwards.
class LogPixels {
public:
    explicit LogPixels(DWORD dpi) {
        DWORD size = sizeof(previous_);
        hadPrevious_ = RegGetValueW(HKEY_CURRENT_USER, DesktopKey, L"LogPixels", RRF_RT_REG_DWORD, nullptr, &previous_,
                                    &size) == ERROR_SUCCESS;
        RegSetKeyValueW(HKEY_CURRENT_USER, DesktopKey, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
    }
    ~LogPixels() {
        if (hadPrevious_) {
            RegSetKeyValueW(HKEY_CURRENT_USER, DesktopKey, L"LogPixels", REG_DWORD, &previous_, sizeof(previous_));
        } else {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, DesktopKey, L"LogPixels");
        }
    }

private:
    DWORD previous_ = 96;
    bool hadPrevious_ = false;
};

struct DpiCase {
    DWORD dpi;
    int width;
    int height;
};

void PrintTo(const DpiCase& c, std::ostream* out) {
    *out << c.dpi << " dpi";
}

class ProgramAtDpi : public ::testing::TestWithParam<DpiCase> {};

TEST_P(ProgramAtDpi, OpensCentredAtScaledSizeAndExitsZeroOnEscape) {
    const DpiCase& c = GetParam();
    LogPixels dpi(c.dpi);
    Started started = StartInstaller(L"");
    ASSERT_NE(started.process.hProcess, nullptr) << "could not start " << KV_INSTALLER_EXE;
    ASSERT_NE(started.window, nullptr) << "no visible installer window";

    RECT window;
    GetWindowRect(started.window, &window);
    RECT client;
    GetClientRect(started.window, &client);
    EXPECT_EQ(window.right - window.left, c.width);
    EXPECT_EQ(window.bottom - window.top, c.height);
    EXPECT_EQ(client.right, c.width) << "the client area is the whole window";
    EXPECT_EQ(client.bottom, c.height);

    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    const RECT& work = info.rcWork;
    EXPECT_EQ(window.left, work.left + (work.right - work.left - c.width) / 2);
    EXPECT_EQ(window.top, work.top + (work.bottom - work.top - c.height) / 2);

    LONG style = GetWindowLongW(started.window, GWL_STYLE);
    LONG exStyle = GetWindowLongW(started.window, GWL_EXSTYLE);
    // The system adds WS_CLIPSIBLINGS to every top-level window.
    EXPECT_EQ(static_cast<DWORD>(style) & 0xFFFF0000u & ~static_cast<DWORD>(WS_CLIPSIBLINGS), 0x800A0000u | WS_VISIBLE);
    EXPECT_TRUE(exStyle & WS_EX_APPWINDOW);
    wchar_t title[64] = {};
    GetWindowTextW(started.window, title, 64);
    EXPECT_STREQ(title, L"Kestrovane Setup");

    EXPECT_EQ(CloseWithEscapeAndWait(started), 0u);
}

INSTANTIATE_TEST_SUITE_P(LogPixels, ProgramAtDpi,
                         ::testing::Values(DpiCase{96, 640, 500}, DpiCase{120, 800, 625}, DpiCase{144, 960, 750}),
                         [](const ::testing::TestParamInfo<DpiCase>& info) { return std::to_string(info.param.dpi); });

TEST(Program, UninstallSwitchStartsAndClosesWithWmClose) {
    Started started = StartInstaller(L"/uninstall");
    ASSERT_NE(started.window, nullptr);
    // Alt+F4 and the system menu's Close arrive as WM_CLOSE, which the default handling turns into a destroy.
    PostMessageW(started.window, WM_CLOSE, 0, 0);
    DWORD exitCode = 12345;
    ASSERT_EQ(WaitForSingleObject(started.process.hProcess, 15000), WAIT_OBJECT_0);
    GetExitCodeProcess(started.process.hProcess, &exitCode);
    CloseHandle(started.process.hThread);
    CloseHandle(started.process.hProcess);
    EXPECT_EQ(exitCode, 0u);
}

TEST(Program, DllsPlantedBesideTheExeAreNeverLoaded) {
    // The installer runs elevated from a Downloads folder: a DLL dropped there under the
    // name of a system DLL that it uses must not run.
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    std::wstring folder = std::wstring(temp) + L"kv-downloads-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring exe = folder + L"\\Kestrovane-Setup.exe";
    ASSERT_TRUE(CopyFileW(KV_INSTALLER_EXE, exe.c_str(), FALSE));
    const wchar_t* planted[] = {L"version.dll", L"dwmapi.dll", L"shcore.dll", L"uxtheme.dll", L"comctl32.dll"};
    for (const wchar_t* name : planted) {
        ASSERT_TRUE(CopyFileW(KV_PLANTED_DLL, (folder + L"\\" + name).c_str(), FALSE)) << name;
    }

    Started started = StartInstaller(L"", exe);
    ASSERT_NE(started.process.hProcess, nullptr);
    EXPECT_NE(started.window, nullptr) << "the window did not show: a planted DLL ran";
    DWORD exitCode = started.window ? CloseWithEscapeAndWait(started) : 12345;
    if (!started.window) {
        WaitForSingleObject(started.process.hProcess, 15000);
        GetExitCodeProcess(started.process.hProcess, &exitCode);
        CloseHandle(started.process.hThread);
        CloseHandle(started.process.hProcess);
    }
    EXPECT_EQ(exitCode, 0u) << "77 means a planted DLL was loaded";

    for (const wchar_t* name : planted) {
        DeleteFileW((folder + L"\\" + name).c_str());
    }
    DeleteFileW(exe.c_str());
    RemoveDirectoryW(folder.c_str());
}

} // namespace
