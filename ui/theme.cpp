#include "ui/theme.h"

#include "app/state.h"

static_assert(TextStyle::LineLeft == 0x824);
static_assert(TextStyle::LineCentered == 0x825);
static_assert(TextStyle::LineEndEllipsis == 0x8824);
static_assert(TextStyle::LinePathEllipsis == 0x4824);
static_assert(TextStyle::Wrapped == 0x814);

namespace {

// A negative height asks for the character height, not the cell height, so the
// sizes match the layout whatever the face's internal leading.
HFONT CreateThemeFont(const wchar_t* face, int sizeUnits, int weight) noexcept {
    return CreateFontW(-ScaleUnits(sizeUnits, state.scale), 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, 0, face);
}

void Replace(HFONT& font, const wchar_t* face, int sizeUnits, int weight) noexcept {
    if (font) {
        DeleteObject(font);
    }
    font = CreateThemeFont(face, sizeUnits, weight);
}

} // namespace

void CreateFonts() noexcept {
    Replace(state.logoFont, L"Segoe UI Semibold", 26, 600);
    Replace(state.subtitleFont, L"Segoe UI", 14, 400);
    Replace(state.headingFont, L"Segoe UI", 16, 600);
    Replace(state.gameNameFont, L"Segoe UI", 16, 600);
    Replace(state.bodyFont, L"Segoe UI", 13, 400);
    Replace(state.buttonFont, L"Segoe UI", 15, 600);
    Replace(state.languageFont, L"Segoe UI", 13, 600);
}

void FillSolid(HDC dc, const RECT& rect, Color color) noexcept {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void FillRounded(HDC dc, const RECT& rect, int cornerUnits, Color fill, Color outline) noexcept {
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, 1, outline);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    int corner = ScaleUnits(cornerUnits, state.scale);
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, corner, corner);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

void DrawTextIn(HDC dc, const wchar_t* text, const RECT& rect, HFONT font, Color color, UINT style) noexcept {
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, color);
    RECT box = rect; // DrawTextW may write to the rectangle it is given
    DrawTextW(dc, text, -1, &box, style);
    SelectObject(dc, old);
}

int TextWidth(HDC dc, const wchar_t* text, HFONT font) noexcept {
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    SelectObject(dc, old);
    return size.cx;
}
