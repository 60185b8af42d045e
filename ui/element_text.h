#pragma once
// What a reader hears of each element on screen, from the state record, in the window's
// current language. A null element stands for the client area itself.
#include <windows.h>

#include <optional>
#include <string>

#include "ui/elements.h"

using Text = std::optional<std::wstring>; // none: the element has no such property

Text NameOf(const Element* element);
Text DescriptionOf(const Element* element);
Text HelpOf(const Element* element);
Text ValueOf(const Element* element);
Text DefaultActionOf(const Element* element);
Text NoText(const Element* element);

// MSAA roles and states.
LONG RoleOf(const Element* element) noexcept;
LONG StateOf(const Element* element, HWND window) noexcept;
