#pragma once
// The process-wide state record, touched only by the UI thread.
#include <windows.h>

#include <string>
#include <vector>

#include "app/game_entry.h"
#include "ui/palette.h"
#include "ui/text.h"

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
};

extern InstallerState state;

// Stores the status line and repaints at once: the sequences block the UI thread,
// so "Installing..." must reach the screen before their work starts.
void SetStatus(const std::wstring& text, Color color) noexcept;

// The text of a message in the current language.
inline const wchar_t* GetText(TextId id) noexcept {
    return GetText(id, state.language);
}
