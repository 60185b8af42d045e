#include "ui/element_text.h"

#include <oleacc.h>

#include "app/product.h"
#include "app/state.h"
#include "app/window_proc.h"
#include "ui/screen_text.h"

namespace {

// The status or, where there is none, the hint; empty when the line shows nothing.
std::wstring StatusLine() {
    return StatusLineText(state.statusText, state.statusColor, state.finished, state.uninstallMode, state.games,
                          state.language)
        .text;
}

} // namespace

Text NameOf(const Element* element) {
    if (!element) {
        return WindowTitle;
    }
    switch (element->kind) {
    case ElementKind::Subtitle:
        return SubtitleText(state.language);
    case ElementKind::Language:
        return LanguageNames[element->index] + std::wstring(L" (") + LanguageCodes[element->index] + L")";
    case ElementKind::Close:
        return GetText(CloseLabel);
    case ElementKind::Headline:
        return GetText(HeadlineId(state.uninstallMode));
    case ElementKind::Card:
        return state.games[static_cast<size_t>(element->index)].displayName;
    case ElementKind::EmptyList:
        return GetText(NoGameFound);
    case ElementKind::ChooseFolder:
        return GetText(ChooseAnotherFolder);
    case ElementKind::StatusLine:
        return StatusLine();
    case ElementKind::MainButton:
        return GetText(MainButtonLabelId(state.finished, state.uninstallMode, state.games));
    case ElementKind::WebLink:
        return ProductWebHost;
    case ElementKind::Credit:
        return GetText(DevelopedBy);
    }
    return Text();
}

// A reader lands on the client area itself, as nothing inside takes the focus. Its name is the
// title; its description says what the window is about and what it says now: the headline, then
// the status line. NVDA speaks the description of the object that takes the focus, Narrator
// (through Windows' proxy) its help text, so the client answers both (HelpOf) and each reader
// hears it once. A card says what its lines under the name show: the plug-in's state (install
// mode only), then the folder.
Text DescriptionOf(const Element* element) {
    if (!element) {
        const std::wstring headline = GetText(HeadlineId(state.uninstallMode)), status = StatusLine();
        return status.empty() ? headline : headline + L". " + status;
    }
    if (element->kind != ElementKind::Card) {
        return Text();
    }
    const GameEntry& game = state.games[static_cast<size_t>(element->index)];
    std::wstring status = state.uninstallMode ? std::wstring() : RowStatusText(game, state.language).text;
    return status.empty() ? game.folder : status + L", " + game.folder;
}

Text ValueOf(const Element* element) {
    return element && element->kind == ElementKind::WebLink ? Text(ProductWebAddress) : Text();
}

Text HelpOf(const Element* element) {
    return element ? Text() : DescriptionOf(element);
}

// The verbs Windows' own controls use for these roles, in the window's language.
Text DefaultActionOf(const Element* element) {
    const ClickRoute route = element ? ElementRoute(CurrentHitContext(), *element) : ClickRoute{ClickTarget::None, 0};
    switch (route.target) {
    case ClickTarget::Language:
        return GetText(CheckVerb);
    case ClickTarget::Card:
        return GetText(state.games[static_cast<size_t>(route.index)].checked ? UncheckVerb : CheckVerb);
    case ClickTarget::Close:
    case ClickTarget::MainButton:
        return GetText(PressVerb);
    case ClickTarget::ChooseFolder:
    case ClickTarget::WebLink:
        return GetText(JumpVerb);
    case ClickTarget::None:
        break;
    }
    return Text();
}

Text NoText(const Element*) {
    return Text();
}

LONG RoleOf(const Element* element) noexcept {
    if (!element) {
        return ROLE_SYSTEM_CLIENT;
    }
    switch (element->kind) {
    case ElementKind::Language:
        return ROLE_SYSTEM_RADIOBUTTON;
    case ElementKind::Close:
    case ElementKind::MainButton:
        return ROLE_SYSTEM_PUSHBUTTON;
    case ElementKind::Card:
        return ROLE_SYSTEM_CHECKBUTTON;
    case ElementKind::ChooseFolder:
    case ElementKind::WebLink:
        return ROLE_SYSTEM_LINK;
    default:
        return ROLE_SYSTEM_STATICTEXT;
    }
}

namespace {

// What an element is, whether or not it is in view.
LONG KindStateOf(const Element& element) noexcept {
    switch (element.kind) {
    case ElementKind::Language:
        return element.index == state.language ? STATE_SYSTEM_CHECKED : 0;
    case ElementKind::Card:
        return (state.games[static_cast<size_t>(element.index)].checked ? STATE_SYSTEM_CHECKED : 0) |
               (state.finished ? STATE_SYSTEM_UNAVAILABLE : 0);
    case ElementKind::ChooseFolder:
    case ElementKind::WebLink:
        return STATE_SYSTEM_LINKED;
    case ElementKind::Close:
    case ElementKind::MainButton:
        return 0;
    default:
        return STATE_SYSTEM_READONLY;
    }
}

} // namespace

// A card below the window's edge is there but clipped, which readers call off-screen.
LONG StateOf(const Element* element, HWND window) noexcept {
    if (!element) {
        return STATE_SYSTEM_FOCUSABLE | (GetFocus() == window ? STATE_SYSTEM_FOCUSED : 0);
    }
    return (IsPartlyOutside(CurrentHitContext(), *element) ? STATE_SYSTEM_OFFSCREEN : 0) | KindStateOf(*element);
}
