#pragma once
// The process-wide state record, touched only by the UI thread.
#include <windows.h>

#include <string>
#include <vector>

#include "app/game_entry.h"
#include "ui/layout.h"
#include "ui/palette.h"
#include "ui/text.h"

// Who writes what (everything reads it; painting and hit testing only read):
//   uninstallMode  app/main.cpp, once, from the command line
//   finished       install/sequences.cpp, at the end of a successful run; never reset
//   language       app/main.cpp at start; app/window_proc.cpp on a language click
//   scale          app/main.cpp at start; app/window_proc.cpp on a DPI change
//   games          discovery/game_folder.cpp (appends, for discovery and the folder picker),
//                  app/main.cpp (uninstall filter), app/window_proc.cpp (check boxes),
//                  install/sequences.cpp (an entry's state after its game succeeded)
//   window         app/main.cpp; cleared by app/window_proc.cpp when the window is destroyed
//   the fonts      ui/theme.cpp (CreateFonts)
//   statusText, statusColor, statusSets   SetStatus below, called by the sequences and the folder picker
//   screenGeneration, toldGeneration   app/reader_events.cpp and app/window_proc.cpp
struct InstallerState {
    bool uninstallMode = false;
    bool finished = false;
    UiLanguage language = 0;
    float scale = 1.0f;
    std::vector<GameEntry> games;
    HWND window = nullptr;
    HFONT logoFont = nullptr;
    HFONT subtitleFont = nullptr;
    HFONT headingFont = nullptr;
    HFONT gameNameFont = nullptr;
    HFONT bodyFont = nullptr;
    HFONT buttonFont = nullptr;
    HFONT languageFont = nullptr;
    std::wstring statusText;
    Color statusColor = StatusColorInfo;
    unsigned statusSets = 0;       // counts every status set, so that a repeated message is news too
    unsigned screenGeneration = 0; // counts the changes of the screen that readers were told of
    unsigned toldGeneration = 0;   // the last generation whose events came before a request now
};

extern InstallerState state;

// What the hit test, the click routing and the elements on screen depend on besides a point.
HitContext CurrentHitContext() noexcept;

// Asks for a paint of the whole window through the message loop, once there is a window.
void Repaint() noexcept;

// Stores the status line and repaints at once: the sequences block the UI thread,
// so "Installing..." must reach the screen before their work starts. Readers hear of it
// once the action that set it is over (app/reader_events.h), so they never hear a status
// that was gone before they could read it.
void SetStatus(const std::wstring& text, Color color) noexcept;

// The text of a message in the current language.
inline const wchar_t* GetText(TextId id) noexcept {
    return GetText(id, state.language);
}
