#include "ui/paint.h"

#include <string>

#include "app/product.h"
#include "app/state.h"
#include "ui/layout.h"
#include "ui/screen_text.h"
#include "ui/theme.h"

namespace {

constexpr wchar_t LogoFirstHalf[] = L"K E S T   ";
constexpr wchar_t LogoSecondHalf[] = L"R O V A N E";
constexpr wchar_t CloseGlyph[] = L"\u2715";

void PaintTitleBand(HDC dc, float scale) {
    FillSolid(dc, ToRECT(TitleBandRect(scale)), Theme::Surface);
    for (int k = 0; k < StripeDashCount; ++k) {
        FillSolid(dc, ToRECT(StripeDashRect(k, scale)), Theme::Accent);
    }

    // The second half starts where the first one really ends in the font at hand.
    int firstWidth = TextWidth(dc, LogoFirstHalf, state.logoFont);
    DrawTextIn(dc, LogoFirstHalf, ToRECT(LogoFirstHalfRect(scale)), state.logoFont, Theme::TextPrimary,
               TextStyle::LineLeft);
    DrawTextIn(dc, LogoSecondHalf, ToRECT(LogoSecondHalfRect(scale, firstWidth)), state.logoFont, Theme::Accent,
               TextStyle::LineLeft);

    DrawTextIn(dc, SubtitleText(state.language).c_str(), ToRECT(SubtitleRect(scale)), state.subtitleFont,
               Theme::TextSecondary, TextStyle::LineLeft);
    DrawTextIn(dc, CloseGlyph, ToRECT(CloseGlyphRect(scale)), state.headingFont, Theme::TextSecondary,
               TextStyle::LineCentered);

    FillRounded(dc, ToRECT(LanguageSwitchRect(scale)), CardCornerUnits, Theme::Surface, Theme::Border);
    for (int c = 0; c < LanguageCount; ++c) {
        bool selected = c == state.language;
        if (selected) {
            FillRounded(dc, ToRECT(LanguagePillRect(c, scale)), PillCornerUnits, Theme::Accent, Theme::Accent);
        }
        DrawTextIn(dc, LanguageCodes[c], ToRECT(LanguageCellRect(c, scale)), state.languageFont,
                   selected ? Theme::TextOnAccent : Theme::TextSecondary, TextStyle::LineCentered);
    }
}

void PaintGameCard(HDC dc, int i, const GameEntry& game, float scale) {
    Color accentOrBorder = game.checked ? Theme::Accent : Theme::Border;
    FillRounded(dc, ToRECT(GameCardRect(i, scale)), CardCornerUnits, Theme::Surface, accentOrBorder);
    DrawTextIn(dc, game.displayName.c_str(), ToRECT(NameLineRect(i, scale)), state.gameNameFont, Theme::TextPrimary,
               TextStyle::LineEndEllipsis);
    if (!state.uninstallMode) {
        ColoredText status = RowStatusText(game, state.language);
        if (!status.text.empty()) {
            int nameWidth = TextWidth(dc, game.displayName.c_str(), state.gameNameFont);
            DrawTextIn(dc, status.text.c_str(), ToRECT(RowStatusRect(i, scale, nameWidth)), state.bodyFont,
                       status.color, TextStyle::LineEndEllipsis);
        }
    }
    DrawTextIn(dc, game.folder.c_str(), ToRECT(PathLineRect(i, scale)), state.bodyFont, Theme::TextSecondary,
               TextStyle::LinePathEllipsis);
    FillRounded(dc, ToRECT(ToggleRect(i, scale)), ToggleCornerUnits, accentOrBorder, accentOrBorder);
    FillRounded(dc, ToRECT(KnobRect(i, game.checked, scale)), ToggleCornerUnits, Theme::TextPrimary,
                Theme::TextPrimary);
}

void PaintBody(HDC dc, float scale) {
    DrawTextIn(dc, GetText(HeadlineId(state.uninstallMode)), ToRECT(HeadlineRect(scale)), state.headingFont,
               Theme::TextPrimary, TextStyle::LineLeft);

    if (state.games.empty()) {
        FillRounded(dc, ToRECT(EmptyListBoxRect(scale)), CardCornerUnits, Theme::Surface, Theme::Border);
        DrawTextIn(dc, GetText(NoGameFound), ToRECT(EmptyListTextRect(scale)), state.bodyFont, Theme::TextSecondary,
                   TextStyle::Wrapped);
    }
    // No limit: a fourth card lands over the status line and footer, which are painted after it.
    for (size_t i = 0; i < state.games.size(); ++i) {
        PaintGameCard(dc, static_cast<int>(i), state.games[i], scale);
    }

    if (!state.uninstallMode && !state.finished) {
        int gameCount = static_cast<int>(state.games.size());
        DrawTextIn(dc, GetText(ChooseAnotherFolder), ToRECT(ChooseFolderLinkRect(gameCount, scale)), state.bodyFont,
                   Theme::Accent, TextStyle::LineLeft);
    }

    ColoredText status = StatusLineText(state.statusText, state.statusColor, state.finished, state.uninstallMode,
                                        state.games, state.language);
    if (!status.text.empty()) {
        DrawTextIn(dc, status.text.c_str(), ToRECT(StatusLineRect(scale)), state.bodyFont, status.color,
                   TextStyle::Wrapped);
    }
}

void PaintFooter(HDC dc, float scale) {
    FillSolid(dc, ToRECT(SeparatorRect(scale)), Theme::Border);
    DrawTextIn(dc, GetText(DevelopedBy), ToRECT(CreditLineRect(scale)), state.bodyFont, Theme::TextSecondary,
               TextStyle::LineEndEllipsis);
    DrawTextIn(dc, ProductWebHost, ToRECT(WebLinkRect(scale)), state.bodyFont, Theme::Accent, TextStyle::LineLeft);

    RECT button = ToRECT(MainButtonRect(scale));
    FillRounded(dc, button, CardCornerUnits, Theme::Accent, Theme::Accent);
    TextId label = MainButtonLabelId(state.finished, state.uninstallMode, state.games);
    DrawTextIn(dc, GetText(label), button, state.buttonFont, Theme::TextOnAccent, TextStyle::LineCentered);
}

} // namespace

void PaintWindow(HDC dc, const RECT& client) noexcept {
    float scale = state.scale;
    FillSolid(dc, client, Theme::Background);
    SetBkMode(dc, TRANSPARENT);
    // Only composing texts allocates; if that ever fails the frame is still drawn.
    try {
        PaintTitleBand(dc, scale);
        PaintBody(dc, scale);
        PaintFooter(dc, scale);
    } catch (...) {
    }
    HBRUSH frame = CreateSolidBrush(Theme::Border);
    FrameRect(dc, &client, frame);
    DeleteObject(frame);
}
