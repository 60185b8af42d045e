#include <gtest/gtest.h>

#include "ui/layout.h"

namespace {

void ExpectRect(const Rect& actual, int left, int top, int right, int bottom) {
    EXPECT_EQ(actual.left, left);
    EXPECT_EQ(actual.top, top);
    EXPECT_EQ(actual.right, right);
    EXPECT_EQ(actual.bottom, bottom);
}

HitContext Install(int games, float scale = 1.0f) {
    return {scale, games, false, false};
}

TEST(Layout, WindowSizeFollowsTheScale) {
    ExpectRect(ClientRectFor(1.0f), 0, 0, 640, 500);
    ExpectRect(ClientRectFor(1.25f), 0, 0, 800, 625);
    ExpectRect(ClientRectFor(1.5f), 0, 0, 960, 750);
    ExpectRect(ClientRectFor(1.75f), 0, 0, 1120, 875);
}

TEST(Layout, TitleBandElementsAtFractionalScales) {
    ExpectRect(CloseGlyphRect(1.25f), 735, 30, 770, 65);
    ExpectRect(CloseGlyphRect(1.5f), 882, 36, 924, 78);
    ExpectRect(TitleBandRect(1.25f), 0, 0, 800, 115);
    // The seven cells tile the switch with no gap at any scale.
    for (float scale : {1.0f, 1.25f, 1.5f, 1.75f}) {
        Rect whole = LanguageSwitchRect(scale);
        EXPECT_EQ(LanguageCellRect(0, scale).left, whole.left);
        EXPECT_EQ(LanguageCellRect(6, scale).right, whole.right);
        for (int c = 1; c < LanguageCellCount; ++c) {
            EXPECT_EQ(LanguageCellRect(c, scale).left, LanguageCellRect(c - 1, scale).right);
        }
    }
    // Pill: the cell inset by S(3) = 5 px at 1.5.
    ExpectRect(LanguageCellRect(2, 1.5f), 591, 36, 645, 78);
    ExpectRect(LanguagePillRect(2, 1.5f), 596, 41, 640, 73);
    // Logo's second half starts the measured width after the first.
    ExpectRect(LogoSecondHalfRect(1.5f, 100), 42 + 100, 27, 960, 81);
}

TEST(Layout, StripeDashesAlongTheBandBottom) {
    ExpectRect(StripeDashRect(0, 1.0f), 0, 88, 22, 92);
    ExpectRect(StripeDashRect(1, 1.0f), 40, 88, 62, 92);
    ExpectRect(StripeDashRect(StripeDashCount - 1, 1.0f), 600, 88, 622, 92);
    ExpectRect(StripeDashRect(15, 1.5f), 900, 132, 933, 138);
}

TEST(Layout, FooterAndMainButton) {
    ExpectRect(MainButtonRect(1.5f), 693, 660, 918, 723);
    ExpectRect(CreditLineRect(1.0f), 28, 440, 450, 461);
    ExpectRect(WebLinkRect(1.0f), 28, 461, 450, 482);
    // (603 - 550) / 2 truncates: the link line is one pixel taller.
    ExpectRect(CreditLineRect(1.25f), 35, 550, 563, 576);
    ExpectRect(WebLinkRect(1.25f), 35, 576, 563, 603);
    ExpectRect(SeparatorRect(1.0f), 28, 430, 612, 431);
    ExpectRect(StatusLineRect(1.0f), 28, 386, 612, 418);
}

TEST(Layout, CardsAndTheirContents) {
    ExpectRect(GameCardRect(0, 1.0f), 28, 150, 612, 222);
    ExpectRect(GameCardRect(2, 1.0f), 28, 314, 612, 386);
    ExpectRect(GameCardRect(3, 1.0f), 28, 396, 612, 468);
    ExpectRect(GameCardRect(1, 1.25f), 35, 290, 765, 380);
    Rect toggle = ToggleRect(1, 1.25f);
    EXPECT_EQ((toggle.top + toggle.bottom) / 2, 335);

    ExpectRect(NameLineRect(0, 1.0f), 46, 162, 532, 188);
    ExpectRect(PathLineRect(0, 1.0f), 46, 188, 532, 212);
    ExpectRect(RowStatusRect(0, 1.0f, 200), 46 + 14 + 200, 162, 532, 188);
}

TEST(Layout, ToggleAndKnobAtOne) {
    ExpectRect(ToggleRect(0, 1.0f), 548, 174, 594, 198); // 46 x 24 around cy 186
    ExpectRect(KnobRect(0, false, 1.0f), 551, 177, 569, 195);
    ExpectRect(KnobRect(0, true, 1.0f), 573, 177, 591, 195);
    // Either way the knob is square and 3 px inside top, bottom and its end.
    for (float scale : {1.0f, 1.25f, 1.5f, 1.75f}) {
        for (bool checked : {false, true}) {
            Rect knob = KnobRect(1, checked, scale);
            Rect t = ToggleRect(1, scale);
            EXPECT_EQ(knob.right - knob.left, knob.bottom - knob.top);
            EXPECT_GT(knob.top, t.top);
            EXPECT_LT(knob.bottom, t.bottom);
            EXPECT_TRUE(checked ? knob.right < t.right : knob.left > t.left);
        }
    }
}

// At 1.25, 18, 6 and 10 units (and 222, 304 for the card edges) land on x.5 pixels,
// so scaling a difference once gives a pixel more than scaling its terms.
TEST(Layout, TermsWrittenWithSAreScaledOneByOne) {
    EXPECT_EQ(EmptyListTextRect(1.25f).right, 765 - 23); // not S(594) = 743
    EXPECT_EQ(ToggleRect(0, 1.25f).right, 765 - 23);
    EXPECT_EQ(PathLineRect(1, 1.25f).bottom, 380 - 13); // not S(294) = 368
    EXPECT_EQ(NameLineRect(0, 1.25f).bottom, 188 + 48); // not S(188) = 235
    // Unit expressions like 150 + 82i are summed first, then scaled once.
    EXPECT_EQ(GameCardRect(1, 1.25f).top, 290); // S(232); S(150) + S(82) would be 291
    ExpectRect(ToggleRect(0, 1.25f), 685, 218, 742, 248);
    ExpectRect(KnobRect(0, false, 1.25f), 689, 222, 711, 244);
    ExpectRect(KnobRect(0, true, 1.25f), 716, 222, 738, 244);
}

TEST(Layout, ChooseFolderLinkFollowsTheList) {
    ExpectRect(ChooseFolderLinkRect(0, 1.0f), 28, 236, 348, 264);
    ExpectRect(ChooseFolderLinkRect(1, 1.0f), 28, 236, 348, 264);
    ExpectRect(ChooseFolderLinkRect(3, 1.0f), 28, 400, 348, 428);
}

TEST(HitTest, TitleBandDragsExceptOverItsControls) {
    HitContext context = Install(0);
    EXPECT_TRUE(IsCaptionPoint(context, 100, 40));
    EXPECT_FALSE(IsCaptionPoint(context, 330, 40)); // language switch
    EXPECT_FALSE(IsCaptionPoint(context, 600, 40)); // close glyph
    EXPECT_FALSE(IsCaptionPoint(context, 100, 95)); // below the band
    EXPECT_TRUE(IsCaptionPoint(context, 100, 91));
    EXPECT_FALSE(IsCaptionPoint(context, 100, 92));
    EXPECT_TRUE(IsCaptionPoint(Install(0, 1.25f), 100, 114));
    EXPECT_FALSE(IsCaptionPoint(Install(0, 1.25f), 100, 115));
}

TEST(HitTest, RightAndBottomEdgesAreOutside) {
    HitContext context = Install(0);
    EXPECT_TRUE(IsOverClickable(context, 615, 30));
    EXPECT_FALSE(IsOverClickable(context, 616, 30));
    EXPECT_TRUE(IsOverClickable(context, 588, 24));
    EXPECT_FALSE(IsOverClickable(context, 600, 52));
    EXPECT_FALSE(IsOverClickable(context, 587, 30));
    EXPECT_EQ(RouteClick(context, 615, 51).target, ClickTarget::Close);
    EXPECT_EQ(RouteClick(context, 616, 30).target, ClickTarget::None);
}

TEST(HitTest, CardsAndLinkDependOnModeAndFinish) {
    HitContext context = Install(2);
    EXPECT_TRUE(IsOverClickable(context, 300, 250));  // card 1
    EXPECT_TRUE(IsOverClickable(context, 100, 330));  // link below two cards
    EXPECT_FALSE(IsOverClickable(context, 400, 330)); // right of the link
    EXPECT_FALSE(IsOverClickable(context, 300, 227)); // gap between cards

    context.uninstallMode = true;
    EXPECT_TRUE(IsOverClickable(context, 300, 250));
    EXPECT_FALSE(IsOverClickable(context, 100, 330));

    context.finished = true;
    EXPECT_FALSE(IsOverClickable(context, 300, 250));
    EXPECT_TRUE(IsOverClickable(context, 600, 30));   // close
    EXPECT_TRUE(IsOverClickable(context, 400, 40));   // language
    EXPECT_TRUE(IsOverClickable(context, 500, 460));  // main button
    EXPECT_TRUE(IsOverClickable(context, 100, 470));  // web link
    EXPECT_FALSE(IsOverClickable(context, 100, 450)); // credit line
}

TEST(ClickRouting, EachTargetWithItsIndex) {
    HitContext context = Install(3);
    for (int c = 0; c < LanguageCellCount; ++c) {
        ClickRoute route = RouteClick(context, 322 + 36 * c, 24);
        EXPECT_EQ(route.target, ClickTarget::Language);
        EXPECT_EQ(route.index, c);
    }
    EXPECT_EQ(RouteClick(context, 574, 30).target, ClickTarget::None); // just right of SV
    EXPECT_EQ(RouteClick(context, 462, 440).target, ClickTarget::MainButton);
    EXPECT_EQ(RouteClick(context, 449, 481).target, ClickTarget::WebLink);
    EXPECT_EQ(RouteClick(context, 100, 450).target, ClickTarget::None);
    for (int i = 0; i < 3; ++i) {
        ClickRoute route = RouteClick(context, 40, 150 + 82 * i + 71);
        EXPECT_EQ(route.target, ClickTarget::Card);
        EXPECT_EQ(route.index, i);
    }
    EXPECT_EQ(RouteClick(context, 100, 410).target, ClickTarget::ChooseFolder);
    EXPECT_EQ(RouteClick(context, 100, 100).target, ClickTarget::None);
}

TEST(ClickRouting, ButtonAndLinkWinOverAFourthCard) {
    HitContext context = Install(4);
    EXPECT_EQ(RouteClick(context, 500, 460).target, ClickTarget::MainButton);
    EXPECT_EQ(RouteClick(context, 100, 465).target, ClickTarget::WebLink);
    ClickRoute uncovered = RouteClick(context, 100, 420); // card 3 above the footer
    EXPECT_EQ(uncovered.target, ClickTarget::Card);
    EXPECT_EQ(uncovered.index, 3);
}

TEST(ClickRouting, FinishedAndUninstallMakeCardsOrLinkInert) {
    HitContext finished = {1.0f, 2, true, false};
    EXPECT_EQ(RouteClick(finished, 300, 180).target, ClickTarget::None);
    EXPECT_EQ(RouteClick(finished, 100, 330).target, ClickTarget::None);
    EXPECT_EQ(RouteClick(finished, 600, 30).target, ClickTarget::Close);
    EXPECT_EQ(RouteClick(finished, 330, 30).target, ClickTarget::Language);
    EXPECT_EQ(RouteClick(finished, 500, 460).target, ClickTarget::MainButton);
    EXPECT_EQ(RouteClick(finished, 100, 470).target, ClickTarget::WebLink);

    HitContext uninstall = {1.0f, 2, false, true};
    EXPECT_EQ(RouteClick(uninstall, 300, 180).target, ClickTarget::Card);
    EXPECT_EQ(RouteClick(uninstall, 100, 330).target, ClickTarget::None);
    // No game: the link sits where a second card would start.
    EXPECT_EQ(RouteClick(Install(0), 100, 250).target, ClickTarget::ChooseFolder);
}

} // namespace
