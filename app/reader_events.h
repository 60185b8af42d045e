#pragma once
// What screen readers are told when the screen changes. An action (a click or a reader's default
// action) runs to its end first, then every change it made is told once, with the WinEvents that
// Windows' own controls raise for the same change.
#include <windows.h>

#include <string>
#include <vector>

#include "ui/layout.h"

// Posted when an action's changes are told, wParam the new screen generation: a request that
// reached the window before it was asked of the screen before the action.
inline constexpr UINT ReadersToldMessage = WM_APP + 2;

// What a reader can learn of one element, enough to tell what changed.
struct ElementFacts {
    long childId;
    std::wstring name;
    std::wstring description;
    LONG state;
    Rect rect;
};

struct ScreenFacts {
    std::vector<ElementFacts> elements; // in reading order
    unsigned statusSets;
};

// The elements on screen now; none if there is no memory to read them.
ScreenFacts ReadScreen() noexcept;

// Raises the events for every difference from `before`, posts ReadersToldMessage first if there
// is any, and counts the change in the screen generation.
void TellReaders(const ScreenFacts& before) noexcept;
