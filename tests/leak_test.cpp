// Long runs that must leave the process holding what it held before: GDI objects across
// many paints and font re-creations, GDI objects and kernel handles across install and
// uninstall rounds, and every COM object of the folder picker.
#include <gtest/gtest.h>

#include <windows.h>
#include <shobjidl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <set>
#include <thread>

#include "app/state.h"
#include "app/window_proc.h"
#include "discovery/folder_dialog.h"
#include "install/registration.h"
#include "install/sequences.h"
#include "install_support.h"
#include "resource_tracker.h"
#include "ui/paint.h"
#include "ui/theme.h"

namespace {

namespace fs = std::filesystem;

void DeleteFonts() {
    for (HFONT* font : {&state.logoFont, &state.subtitleFont, &state.headingFont, &state.gameNameFont, &state.bodyFont,
                        &state.buttonFont, &state.languageFont}) {
        if (*font) {
            DeleteObject(*font);
            *font = nullptr;
        }
    }
}

GameEntry Game(const wchar_t* name, const wchar_t* folder, bool checked, bool present, const wchar_t* version,
               bool old) {
    GameEntry entry;
    entry.displayName = name;
    entry.exeName = L"x.exe";
    entry.folder = folder;
    entry.checked = checked;
    entry.pluginPresent = present;
    entry.installedVersion = version;
    entry.oldPluginPresent = old;
    return entry;
}

class GdiLeaks : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kvtest::TrackGdiObjects()) << "could not route the GDI imports through the counters";
        state = InstallerState{};
        state.games = {
            Game(L"American Truck Simulator", L"C:\\Steam\\steamapps\\common\\American Truck Simulator", true, true,
                 L"1.9.12", false),
            Game(L"Euro Truck Simulator 2", L"D:\\SteamLibrary\\steamapps\\common\\Euro Truck Simulator 2", false,
                 false, L"", true),
            Game(L"Euro Truck Simulator 2", L"E:\\Games\\Euro Truck Simulator 2", true, true, L"1.10.2", false),
        };
    }
    void TearDown() override { DeleteFonts(); }
};

TEST_F(GdiLeaks, TheCounterSeesALeakAndItsRepair) {
    const size_t before = kvtest::Gdi().live.size();
    HBRUSH leaked = CreateSolidBrush(Theme::Accent);
    EXPECT_EQ(kvtest::Gdi().live.size(), before + 1);
    DeleteObject(leaked);
    EXPECT_EQ(kvtest::Gdi().live.size(), before);
}

TEST_F(GdiLeaks, ThousandFullPaintsAndHundredFontRecreationsHoldNothingNew) {
    state.scale = 1.5f;
    CreateFonts();
    const size_t fontsOnly = kvtest::Gdi().live.size();
    const DWORD guiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 960, 750);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const size_t withTarget = kvtest::Gdi().live.size();
    RECT client = {0, 0, 960, 750};
    for (int i = 0; i < 1000; ++i) {
        // Every situation the painter draws: statuses, hint, finished, uninstall, a status message.
        state.finished = i % 4 == 1;
        state.uninstallMode = i % 4 == 2;
        state.statusText = i % 4 == 3 ? L"Could not write to the game folder: Euro Truck Simulator 2. " : L"";
        state.language = i % 7;
        PaintWindow(memory, client);
        ASSERT_EQ(kvtest::Gdi().live.size(), withTarget) << "paint " << i << " left GDI objects behind";
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(kvtest::Gdi().live.size(), fontsOnly);

    for (int i = 0; i < 100; ++i) {
        state.scale = i % 2 ? 1.0f : 1.75f;
        CreateFonts();
    }
    EXPECT_EQ(kvtest::Gdi().live.size(), fontsOnly) << "font re-creation must delete the previous seven";
    EXPECT_EQ(kvtest::Gdi().deletedWhileSelected, 0) << "an object was deleted while still selected";
    EXPECT_EQ(kvtest::Gdi().failedDeletes, 0);
    // A stub that answers 0 under Wine; the real count on Windows.
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), guiBefore);
}

TEST_F(GdiLeaks, FontsAreSevenLiveHandlesAfterRepeatedCreation) {
    const size_t before = kvtest::Gdi().live.size();
    CreateFonts();
    CreateFonts();
    EXPECT_EQ(kvtest::Gdi().live.size(), before + 7);
    HFONT fonts[] = {state.logoFont, state.subtitleFont, state.headingFont, state.gameNameFont,
                     state.bodyFont, state.buttonFont,   state.languageFont};
    for (HFONT font : fonts) {
        EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
        EXPECT_EQ(kvtest::Gdi().live.count(font), 1u);
    }
}

long paintsSeen = 0;

// The installer's own window procedure, with the paints counted: the status line of every
// sequence is painted for real while the rounds run.
LRESULT CALLBACK CountingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        ++paintsSeen;
    }
    return WindowProc(window, message, wParam, lParam);
}

// Two games in a throwaway Steam library, the registry in private keys and the installer
// copy's folder redirected, as the sequence tests set them up; the installer window is
// real, with its fonts.
class InstallRoundLeaks : public ::testing::Test {
protected:
    InstallRoundLeaks() : registry_(temp_.path() / L"local") {
        std::error_code ec;
        fs::create_directories(temp_.path() / L"local", ec);
        const fs::path library = temp_.path() / L"Steam";
        const std::wstring& text = library.native();
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Valve\\Steam", L"SteamPath", REG_SZ, text.c_str(),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        state = InstallerState();
        state.games.push_back(kvtest::MakeGame(library / L"steamapps" / L"common", 0));
        state.games.push_back(kvtest::MakeGame(library / L"steamapps" / L"common", 1));

        WNDCLASSEXW windowClass = {sizeof(windowClass)};
        windowClass.lpfnWndProc = CountingWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KestrovaneLeakRounds";
        RegisterClassExW(&windowClass);
    }
    ~InstallRoundLeaks() override {
        if (state.window) {
            DestroyWindow(state.window);
        }
        // The window procedure ends the loop when its window goes.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        DeleteFonts();
        kvtest::ForgetPendingRenamesBelow(temp_.path());
        state = InstallerState();
    }

    // Shown, but not activated: a hidden window has no update region, so SetStatus would
    // paint nothing at all (measured under Wine: no WM_PAINT in 50 rounds).
    void OpenWindow() {
        ASSERT_TRUE(kvtest::TrackGdiObjects());
        CreateFonts();
        state.window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"KestrovaneLeakRounds", WindowTitle,
                                       WS_POPUP, 0, 0, 640, 500, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(state.window, nullptr);
        ShowWindow(state.window, SW_SHOWNOACTIVATE);
        UpdateWindow(state.window);
    }

    fs::path Plugins(int game) const { return kvtest::PluginsOf(state.games[game]); }
    bool Registered() const { return kvtest::KeyExists(HKEY_CURRENT_USER, UninstallKeyPath); }

    void Round(int round) {
        SCOPED_TRACE(round);
        state.uninstallMode = false;
        state.finished = false;
        RunInstallSequence();
        ASSERT_EQ(state.statusText, L"Done! Start the game and press Ctrl+F10 to get out of the truck.");
        for (int game = 0; game < 2; ++game) {
            ASSERT_TRUE(kvtest::Exists(Plugins(game) / L"Kestrovane" / L"sounds" / L"door_close.wav"));
            ASSERT_EQ(kvtest::ReadFile(Plugins(game) / L"Kestrovane.dll"), payload_);
        }
        ASSERT_TRUE(Registered());

        state.uninstallMode = true;
        state.finished = false;
        RunUninstallSequence();
        ASSERT_EQ(state.statusText, L"Kestrovane was removed.");
        ASSERT_TRUE(state.finished);
        for (int game = 0; game < 2; ++game) {
            ASSERT_FALSE(kvtest::Exists(Plugins(game) / L"Kestrovane.dll"));
            ASSERT_FALSE(kvtest::Exists(Plugins(game) / L"Kestrovane"));
        }
        ASSERT_FALSE(Registered());
        // Each uninstall queues the copy for the next restart; keep the queue from growing.
        kvtest::ForgetPendingRenamesBelow(temp_.path());
    }

    kvtest::TempFolder temp_;
    kvtest::RegistrySandbox registry_;
    const std::string payload_ = kvtest::ReadFile(fs::path(KV_PAYLOAD_DIR) / L"Kestrovane.dll");
};

TEST_F(InstallRoundLeaks, FiftyInstallAndUninstallRoundsOnTwoGamesHoldNoMoreHandlesOrGdiObjects) {
    ASSERT_FALSE(payload_.empty());
    OpenWindow();
    // The warm-up round makes what the process creates once and keeps (libraries loaded
    // on first use, the window's first paint); its count is printed for comparison. After
    // it the counts stay put, so no slack is allowed.
    const long handlesAtStart = kvtest::KernelHandleCount();
    Round(0);
    const long paintsBefore = paintsSeen;
    const size_t gdiBefore = kvtest::Gdi().live.size();
    const long handlesBefore = kvtest::KernelHandleCount();
    ASSERT_GT(handlesBefore, 0) << "the system handle table could not be read";
    HANDLE leaked = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(kvtest::KernelHandleCount(), handlesBefore + 1) << "the handle count must see one more handle";
    CloseHandle(leaked);
    ASSERT_EQ(kvtest::KernelHandleCount(), handlesBefore);

    const auto start = std::chrono::steady_clock::now();
    for (int round = 1; round <= 50; ++round) {
        Round(round);
        if (HasFatalFailure()) {
            return;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const size_t gdiAfter = kvtest::Gdi().live.size();
    const long handlesAfter = kvtest::KernelHandleCount();
    std::printf("install rounds: 50 in %.2f s (%.1f ms per install and uninstall), kernel handles %ld before the "
                "warm-up, %ld -> %ld, live GDI objects %zu -> %zu, paints %ld\n",
                seconds, seconds * 1000 / 50, handlesAtStart, handlesBefore, handlesAfter, gdiBefore, gdiAfter,
                paintsSeen - paintsBefore);
    // Every round repaints at least "Installing..." and the final message of both sequences.
    EXPECT_GE(paintsSeen - paintsBefore, 50 * 4);
    EXPECT_EQ(gdiAfter, gdiBefore);
    EXPECT_EQ(handlesAfter, handlesBefore);
    EXPECT_EQ(kvtest::Gdi().deletedWhileSelected, 0);
    EXPECT_EQ(kvtest::Gdi().failedDeletes, 0);
}

// The folder picker's objects, seen from outside: this exe's import of CoCreateInstance
// is routed through a hook that keeps a reference of its own to the dialog, and the
// dialog's (and then the result item's) vtable is swapped for a copy whose GetResult (and
// GetDisplayName) slot also keeps a reference (and notes the path text). Once the code
// under test is done, releasing our own references must destroy both objects, and every
// path text must have reached CoTaskMemFree.
struct ComWatch {
    bool failCreation = false;
    IFileOpenDialog* dialog = nullptr;
    IShellItem* item = nullptr;
    void** dialogTable = nullptr;
    void** itemTable = nullptr;
    std::set<void*> pathsHeld;
    int pathsReturned = 0;
    int pathsFreed = 0;
};

ComWatch watch;

// IFileOpenDialog: IUnknown (3), Show, then IFileDialog's methods in declaration order
// up to GetResult; then the rest of IFileDialog and two of IFileOpenDialog: 29 slots.
// IShellItem: IUnknown (3), BindToHandler, GetParent, GetDisplayName; the shell's items
// are IShellItem2, 21 slots, and calls inside the shell may reach those through us.
constexpr size_t DialogSlots = 29;
constexpr size_t GetResultSlot = 20;
constexpr size_t ItemSlots = 21;
constexpr size_t GetDisplayNameSlot = 5;

void* dialogCopy[DialogSlots];
void* itemCopy[ItemSlots];

decltype(&CoCreateInstance) originalCoCreateInstance = nullptr;
decltype(&CoTaskMemFree) originalCoTaskMemFree = nullptr;

void** RedirectSlot(void* object, void** copy, size_t slots, size_t slot, void* replacement) {
    void**& table = *static_cast<void***>(object);
    void** original = table;
    std::copy(original, original + slots, copy);
    copy[slot] = replacement;
    table = copy;
    return original;
}

HRESULT STDMETHODCALLTYPE GetDisplayNameHook(IShellItem* self, SIGDN form, LPWSTR* name) {
    using Fn = HRESULT(STDMETHODCALLTYPE*)(IShellItem*, SIGDN, LPWSTR*);
    HRESULT result = reinterpret_cast<Fn>(watch.itemTable[GetDisplayNameSlot])(self, form, name);
    if (SUCCEEDED(result) && name && *name) {
        watch.pathsHeld.insert(*name);
        ++watch.pathsReturned;
    }
    return result;
}

HRESULT STDMETHODCALLTYPE GetResultHook(IFileOpenDialog* self, IShellItem** item) {
    using Fn = HRESULT(STDMETHODCALLTYPE*)(IFileOpenDialog*, IShellItem**);
    HRESULT result = reinterpret_cast<Fn>(watch.dialogTable[GetResultSlot])(self, item);
    if (SUCCEEDED(result) && item && *item && !watch.item) {
        watch.item = *item;
        watch.item->AddRef();
        watch.itemTable = RedirectSlot(watch.item, itemCopy, ItemSlots, GetDisplayNameSlot,
                                       reinterpret_cast<void*>(&GetDisplayNameHook));
    }
    return result;
}

HRESULT WINAPI CoCreateInstanceHook(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object) {
    if (watch.failCreation) {
        *object = nullptr;
        return E_OUTOFMEMORY;
    }
    HRESULT result = originalCoCreateInstance(clsid, outer, context, iid, object);
    if (SUCCEEDED(result) && IsEqualCLSID(clsid, CLSID_FileOpenDialog) && !watch.dialog) {
        watch.dialog = static_cast<IFileOpenDialog*>(*object);
        watch.dialog->AddRef();
        watch.dialogTable =
            RedirectSlot(watch.dialog, dialogCopy, DialogSlots, GetResultSlot, reinterpret_cast<void*>(&GetResultHook));
    }
    return result;
}

void WINAPI CoTaskMemFreeHook(LPVOID memory) {
    if (watch.pathsHeld.erase(memory)) {
        ++watch.pathsFreed;
    }
    originalCoTaskMemFree(memory);
}

class FolderPickerCom : public ::testing::Test {
protected:
    FolderPickerCom() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (!originalCoCreateInstance) {
            originalCoCreateInstance = reinterpret_cast<decltype(&CoCreateInstance)>(
                kvtest::PatchImport("ole32.dll", "CoCreateInstance", reinterpret_cast<void*>(&CoCreateInstanceHook)));
            originalCoTaskMemFree = reinterpret_cast<decltype(&CoTaskMemFree)>(
                kvtest::PatchImport("ole32.dll", "CoTaskMemFree", reinterpret_cast<void*>(&CoTaskMemFreeHook)));
        }
        watch = ComWatch();
        state = InstallerState();
        state.window =
            CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
        game_ = kvtest::MakeGame(temp_.path() / L"Steam" / L"steamapps" / L"common", 1);
    }
    ~FolderPickerCom() override {
        DestroyWindow(state.window);
        state = InstallerState();
        CoUninitialize();
    }

    // Runs the picker with `folder` typed in (or cancelled), then drops our own references:
    // the dialog first, because it holds its result item until it goes.
    void Choose(const fs::path& folder) {
        ASSERT_NE(originalCoCreateInstance, nullptr) << "the exe does not import CoCreateInstance";
        ASSERT_NE(originalCoTaskMemFree, nullptr) << "the exe does not import CoTaskMemFree";
        watch = ComWatch();
        std::thread user(kvtest::AnswerFolderPicker, folder.native());
        ChooseGameFolder();
        user.join();
        ASSERT_NE(watch.dialog, nullptr) << "the picker was not created through CoCreateInstance";
        if (watch.item) {
            *reinterpret_cast<void***>(watch.item) = watch.itemTable;
        }
        *reinterpret_cast<void***>(watch.dialog) = watch.dialogTable;
        dialogLeft_ = watch.dialog->Release();
        itemLeft_ = watch.item ? watch.item->Release() : 0;
    }

    kvtest::TempFolder temp_;
    GameEntry game_;
    ULONG dialogLeft_ = 0;
    ULONG itemLeft_ = 0;
};

TEST_F(FolderPickerCom, AcceptedAndRejectedFoldersReleaseTheDialogTheItemAndThePath) {
    Choose(game_.folder);
    ASSERT_EQ(state.games.size(), 1u);
    ASSERT_NE(watch.item, nullptr) << "the chosen folder did not come from GetResult";
    EXPECT_EQ(dialogLeft_, 0u) << "references to the dialog left behind";
    EXPECT_EQ(itemLeft_, 0u) << "references to the result item left behind";
    EXPECT_EQ(watch.pathsReturned, 1);
    EXPECT_EQ(watch.pathsFreed, 1);

    // A folder that is no game takes the error branch; it frees the same things.
    Choose(temp_.path());
    EXPECT_EQ(state.statusText, L"This folder is not American Truck Simulator or Euro Truck Simulator 2.");
    ASSERT_NE(watch.item, nullptr);
    EXPECT_EQ(dialogLeft_, 0u);
    EXPECT_EQ(itemLeft_, 0u);
    EXPECT_EQ(watch.pathsReturned, 1);
    EXPECT_EQ(watch.pathsFreed, 1);
}

TEST_F(FolderPickerCom, CancelReleasesTheDialogAndAFailedCreationDoesNothing) {
    SetStatus(L"kept", StatusColorError);
    Choose(L"");
    EXPECT_EQ(watch.item, nullptr) << "no result is asked for after a cancel";
    EXPECT_EQ(dialogLeft_, 0u);
    EXPECT_EQ(watch.pathsReturned, 0);
    EXPECT_EQ(state.statusText, L"kept");

    watch = ComWatch();
    watch.failCreation = true;
    ChooseGameFolder();
    EXPECT_EQ(state.statusText, L"kept");
    EXPECT_TRUE(state.games.empty());
}

} // namespace
