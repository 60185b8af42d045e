#pragma once
#include <windows.h>

// Draws the whole window from the installer state into dc; changes no state.
void PaintWindow(HDC dc, const RECT& client) noexcept;
