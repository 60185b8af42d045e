#pragma once
#include <cstdint>

#include "ui/text.h"

// "/uninstall" anywhere in the command line, case-sensitive; a null line is no switch.
bool HasUninstallSwitch(const wchar_t* commandLine) noexcept;

// The window's top-left corner: centred in the work area, halves truncated toward zero.
struct WindowPlacement {
    int left;
    int top;
    int width;
    int height;
};
WindowPlacement CenteredPlacement(int workLeft, int workTop, int workRight, int workBottom, float scale) noexcept;
