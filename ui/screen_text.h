#pragma once
// The texts that the window composes from the table, and the choices of which
// message goes where. Pure: no Windows headers, no state.
#include <string>
#include <vector>

#include "app/game_entry.h"
#include "ui/palette.h"
#include "ui/text.h"

struct ColoredText {
    std::wstring text; // empty: nothing is drawn
    Color color;
};

// The plug-in state shown after a game's name, in install mode.
ColoredText RowStatusText(const GameEntry& entry, UiLanguage language);

// The word before the version in the title band, the joiner, then the version.
std::wstring SubtitleText(UiLanguage language);

TextId HeadlineId(bool uninstallMode) noexcept;

TextId MainButtonLabelId(bool finished, bool uninstallMode, const std::vector<GameEntry>& games) noexcept;

// Whether the status line shows a text: StatusLineText's is not empty.
bool IsStatusLineShown(const std::wstring& statusText, bool finished, bool uninstallMode,
                       const std::vector<GameEntry>& games) noexcept;

// What the status line shows: the stored status if there is one, else in install
// mode before a finished run the hint that goes with the main button's label.
ColoredText StatusLineText(const std::wstring& statusText, Color statusColor, bool finished, bool uninstallMode,
                           const std::vector<GameEntry>& games, UiLanguage language);
