#pragma once
// Fonts, fill primitives and text placement of the one dark theme.
#include <windows.h>

#include "ui/layout.h"
#include "ui/palette.h"

// DrawTextW format sets.
namespace TextStyle {
inline constexpr UINT LineLeft = DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX; // 0x824
inline constexpr UINT LineCentered = LineLeft | DT_CENTER;                           // 0x825
inline constexpr UINT LineEndEllipsis = LineLeft | DT_END_ELLIPSIS;                  // 0x8824
inline constexpr UINT LinePathEllipsis = LineLeft | DT_PATH_ELLIPSIS;                // 0x4824
inline constexpr UINT Wrapped = DT_WORDBREAK | DT_VCENTER | DT_NOPREFIX;             // 0x814
} // namespace TextStyle

// (Re)creates the seven fonts of the installer state for the current scale.
void CreateFonts() noexcept;

inline RECT ToRECT(const Rect& rect) noexcept {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

void FillSolid(HDC dc, const RECT& rect, Color color) noexcept;

// cornerUnits is in layout units and scaled with the current scale.
void FillRounded(HDC dc, const RECT& rect, int cornerUnits, Color fill, Color outline) noexcept;

void DrawTextIn(HDC dc, const wchar_t* text, const RECT& rect, HFONT font, Color color, UINT style) noexcept;

// The pixel width of a text in a font.
int TextWidth(HDC dc, const wchar_t* text, HFONT font) noexcept;
