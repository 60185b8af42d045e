#include "ui/layout.h"

#include <algorithm>

int ScaleUnits(int units, float scale) noexcept {
    return static_cast<int>(static_cast<float>(units) * scale + 0.5f);
}

namespace {

// A rectangle written in plain layout units: each edge scaled on its own.
Rect Scaled(int left, int top, int right, int bottom, float scale) noexcept {
    return {ScaleUnits(left, scale), ScaleUnits(top, scale), ScaleUnits(right, scale), ScaleUnits(bottom, scale)};
}

int CardTopUnits(int i) noexcept {
    return 150 + 82 * i;
}

int CardBottomUnits(int i) noexcept {
    return 222 + 82 * i;
}

// The footer's credit and link lines share the space left of the button, split in two.
struct FooterRows {
    int top;
    int middle;
    int bottom;
};

FooterRows Footer(float scale) noexcept {
    int top = ScaleUnits(440, scale);
    int bottom = ScaleUnits(482, scale);
    return {top, top + (bottom - top) / 2, bottom};
}

} // namespace

bool Contains(const Rect& rect, int x, int y) noexcept {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

Rect ClientRectFor(float scale) noexcept {
    return Scaled(0, 0, 640, 500, scale);
}

Rect TitleBandRect(float scale) noexcept {
    return Scaled(0, 0, 640, 92, scale);
}

Rect StripeDashRect(int k, float scale) noexcept {
    return Scaled(40 * k, 88, std::min(40 * k + 22, 640), 92, scale);
}

Rect LogoFirstHalfRect(float scale) noexcept {
    return Scaled(28, 18, 640, 54, scale);
}

Rect LogoSecondHalfRect(float scale, int firstHalfWidth) noexcept {
    return {ScaleUnits(28, scale) + firstHalfWidth, ScaleUnits(18, scale), ScaleUnits(640, scale),
            ScaleUnits(54, scale)};
}

Rect SubtitleRect(float scale) noexcept {
    return Scaled(28, 54, 640, 78, scale);
}

Rect CloseGlyphRect(float scale) noexcept {
    return Scaled(588, 24, 616, 52, scale);
}

Rect LanguageSwitchRect(float scale) noexcept {
    return Scaled(322, 24, 574, 52, scale);
}

Rect LanguageCellRect(int c, float scale) noexcept {
    return Scaled(322 + 36 * c, 24, 358 + 36 * c, 52, scale);
}

Rect LanguagePillRect(int c, float scale) noexcept {
    Rect cell = LanguageCellRect(c, scale);
    int inset = ScaleUnits(3, scale);
    return {cell.left + inset, cell.top + inset, cell.right - inset, cell.bottom - inset};
}

Rect HeadlineRect(float scale) noexcept {
    return Scaled(28, 114, 612, 140, scale);
}

Rect EmptyListBoxRect(float scale) noexcept {
    return Scaled(28, 150, 612, 222, scale);
}

Rect EmptyListTextRect(float scale) noexcept {
    return {ScaleUnits(28, scale) + ScaleUnits(18, scale), ScaleUnits(150, scale),
            ScaleUnits(612, scale) - ScaleUnits(18, scale), ScaleUnits(222, scale)};
}

Rect GameCardRect(int i, float scale) noexcept {
    return Scaled(28, CardTopUnits(i), 612, CardBottomUnits(i), scale);
}

Rect NameLineRect(int i, float scale) noexcept {
    int cardTop = ScaleUnits(CardTopUnits(i), scale);
    return {ScaleUnits(28, scale) + ScaleUnits(18, scale), cardTop + ScaleUnits(12, scale),
            ScaleUnits(612, scale) - ScaleUnits(80, scale), cardTop + ScaleUnits(38, scale)};
}

Rect RowStatusRect(int i, float scale, int nameWidth) noexcept {
    Rect name = NameLineRect(i, scale);
    return {name.left + ScaleUnits(14, scale) + nameWidth, name.top, name.right, name.bottom};
}

Rect PathLineRect(int i, float scale) noexcept {
    Rect name = NameLineRect(i, scale);
    return {name.left, ScaleUnits(CardTopUnits(i), scale) + ScaleUnits(38, scale), name.right,
            ScaleUnits(CardBottomUnits(i), scale) - ScaleUnits(10, scale)};
}

Rect ToggleRect(int i, float scale) noexcept {
    int centreY = (ScaleUnits(CardTopUnits(i), scale) + ScaleUnits(CardBottomUnits(i), scale)) / 2;
    int right = ScaleUnits(612, scale);
    return {right - ScaleUnits(64, scale), centreY - ScaleUnits(12, scale), right - ScaleUnits(18, scale),
            centreY + ScaleUnits(12, scale)};
}

Rect KnobRect(int i, bool checked, float scale) noexcept {
    Rect toggle = ToggleRect(i, scale);
    int inset = ScaleUnits(3, scale);
    int innerBottom = toggle.bottom - ScaleUnits(6, scale);
    int size = innerBottom - toggle.top;
    int left = checked ? toggle.right - inset - size : toggle.left + inset;
    return {left, toggle.top + inset, left + size, innerBottom + inset};
}

Rect ChooseFolderLinkRect(int gameCount, float scale) noexcept {
    // With no game the link sits below the empty-list box, where a second card would start.
    int m = gameCount == 0 ? 1 : gameCount;
    return Scaled(28, 154 + 82 * m, 348, 182 + 82 * m, scale);
}

Rect StatusLineRect(float scale) noexcept {
    return Scaled(28, 386, 612, 418, scale);
}

Rect SeparatorRect(float scale) noexcept {
    return Scaled(28, 430, 612, 431, scale);
}

Rect CreditLineRect(float scale) noexcept {
    FooterRows rows = Footer(scale);
    return {ScaleUnits(28, scale), rows.top, ScaleUnits(462, scale) - ScaleUnits(12, scale), rows.middle};
}

Rect WebLinkRect(float scale) noexcept {
    FooterRows rows = Footer(scale);
    return {ScaleUnits(28, scale), rows.middle, ScaleUnits(462, scale) - ScaleUnits(12, scale), rows.bottom};
}

Rect MainButtonRect(float scale) noexcept {
    return Scaled(462, 440, 612, 482, scale);
}

// The order decides overlaps: a fourth card lies under the main button, and the
// button must win there.
ClickRoute RouteClick(const HitContext& context, int x, int y) noexcept {
    float scale = context.scale;
    if (Contains(CloseGlyphRect(scale), x, y)) {
        return {ClickTarget::Close, 0};
    }
    for (int c = 0; c < LanguageCount; ++c) {
        if (Contains(LanguageCellRect(c, scale), x, y)) {
            return {ClickTarget::Language, c};
        }
    }
    if (Contains(MainButtonRect(scale), x, y)) {
        return {ClickTarget::MainButton, 0};
    }
    if (Contains(WebLinkRect(scale), x, y)) {
        return {ClickTarget::WebLink, 0};
    }
    if (context.finished) {
        return {ClickTarget::None, 0};
    }
    for (int i = 0; i < context.gameCount; ++i) {
        if (Contains(GameCardRect(i, scale), x, y)) {
            return {ClickTarget::Card, i};
        }
    }
    if (!context.uninstallMode && Contains(ChooseFolderLinkRect(context.gameCount, scale), x, y)) {
        return {ClickTarget::ChooseFolder, 0};
    }
    return {ClickTarget::None, 0};
}

bool IsOverClickable(const HitContext& context, int x, int y) noexcept {
    return RouteClick(context, x, y).target != ClickTarget::None;
}

bool IsCaptionPoint(const HitContext& context, int x, int y) noexcept {
    return Contains(TitleBandRect(context.scale), x, y) && !IsOverClickable(context, x, y);
}
