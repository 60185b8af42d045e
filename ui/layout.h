#pragma once
// Layout units of a 640 x 500 client area, turned into pixels edge by edge.
// Free of Windows headers: painting, the hit test and click routing all read
// these functions, and they are also built and tested natively.
#include "ui/text.h"

// units * scale + 0.5, truncated toward zero, in single precision.
int ScaleUnits(int units, float scale) noexcept;

// Pixels; inside means left <= x < right and top <= y < bottom, as PtInRect.
struct Rect {
    int left;
    int top;
    int right;
    int bottom;
    friend bool operator==(const Rect&, const Rect&) = default;
};

bool Contains(const Rect& rect, int x, int y) noexcept;

inline constexpr int StripeDashCount = 16;

// Corner sizes of the rounded shapes, in layout units like every other measure.
inline constexpr int CardCornerUnits = 12; // cards, the empty-list box, the switch, the main button
inline constexpr int PillCornerUnits = 10;
inline constexpr int ToggleCornerUnits = 24;

// The client area, which is the whole window: its size at a scale.
Rect ClientRectFor(float scale) noexcept;
Rect TitleBandRect(float scale) noexcept;
Rect StripeDashRect(int k, float scale) noexcept;
Rect LogoFirstHalfRect(float scale) noexcept;
Rect LogoSecondHalfRect(float scale, int firstHalfWidth) noexcept;
Rect SubtitleRect(float scale) noexcept;
Rect CloseGlyphRect(float scale) noexcept;
Rect LanguageSwitchRect(float scale) noexcept;
Rect LanguageCellRect(int c, float scale) noexcept;
Rect LanguagePillRect(int c, float scale) noexcept;
Rect HeadlineRect(float scale) noexcept;
Rect EmptyListBoxRect(float scale) noexcept;
Rect EmptyListTextRect(float scale) noexcept;
Rect GameCardRect(int i, float scale) noexcept;
Rect NameLineRect(int i, float scale) noexcept;
Rect RowStatusRect(int i, float scale, int nameWidth) noexcept;
Rect PathLineRect(int i, float scale) noexcept;
Rect ToggleRect(int i, float scale) noexcept;
Rect KnobRect(int i, bool checked, float scale) noexcept;
Rect ChooseFolderLinkRect(int gameCount, float scale) noexcept;
Rect StatusLineRect(float scale) noexcept;
Rect SeparatorRect(float scale) noexcept;
Rect CreditLineRect(float scale) noexcept;
Rect WebLinkRect(float scale) noexcept;
Rect MainButtonRect(float scale) noexcept;

// What the hit test and the click routing depend on besides the point, and what decides which
// elements are on screen.
struct HitContext {
    float scale;
    int gameCount;
    bool finished;
    bool uninstallMode;
    bool statusShown = false; // the status line holds a text (a status or a hint)
};

enum class ClickTarget { None, Close, Language, MainButton, WebLink, Card, ChooseFolder };

struct ClickRoute {
    ClickTarget target;
    int index; // the language cell or the card; 0 otherwise
};

ClickRoute RouteClick(const HitContext& context, int x, int y) noexcept;

// Where a click would act: the hand cursor.
bool IsOverClickable(const HitContext& context, int x, int y) noexcept;

// The title band drags the window, except where something in it is clickable.
bool IsCaptionPoint(const HitContext& context, int x, int y) noexcept;
