#include "ui/elements.h"

#include <algorithm>
#include <climits>
#include <iterator>

namespace {

// Child ids: the language cells from 1, then one id per single element, then the cards, whose
// number grows.
struct SingleId {
    ElementKind kind;
    long id;
};
constexpr SingleId SingleIds[] = {
    {ElementKind::Close, 8},         {ElementKind::Headline, 9},    {ElementKind::EmptyList, 10},
    {ElementKind::ChooseFolder, 11}, {ElementKind::StatusLine, 12}, {ElementKind::MainButton, 13},
    {ElementKind::WebLink, 14},      {ElementKind::Credit, 15},     {ElementKind::Subtitle, 16},
};
constexpr long FirstCardId = 17;

constexpr ElementKind ReadingOrder[] = {
    ElementKind::Subtitle,   ElementKind::Language,  ElementKind::Close,        ElementKind::Headline,
    ElementKind::Card,       ElementKind::EmptyList, ElementKind::ChooseFolder, ElementKind::StatusLine,
    ElementKind::MainButton, ElementKind::WebLink,   ElementKind::Credit,
};

// How many of a kind are on screen: cards repeat, the others show once or not at all, as
// the painter decides.
int CountOf(ElementKind kind, const HitContext& context) noexcept {
    switch (kind) {
    case ElementKind::Language:
        return LanguageCount;
    case ElementKind::Card:
        return context.gameCount;
    case ElementKind::EmptyList:
        return context.gameCount == 0 ? 1 : 0;
    case ElementKind::ChooseFolder:
        return context.finished || context.uninstallMode ? 0 : 1;
    case ElementKind::StatusLine:
        return context.statusShown ? 1 : 0;
    default:
        return 1;
    }
}

} // namespace

int ElementCount(const HitContext& context) noexcept {
    int count = 0;
    for (ElementKind kind : ReadingOrder) {
        count += CountOf(kind, context);
    }
    return count;
}

bool ElementAt(const HitContext& context, int position, Element& element) noexcept {
    if (position < 0) {
        return false;
    }
    for (ElementKind kind : ReadingOrder) {
        int count = CountOf(kind, context);
        if (position < count) {
            element = {kind, position};
            return true;
        }
        position -= count;
    }
    return false;
}

int PositionOf(const HitContext& context, const Element& element) noexcept {
    int position = 0;
    for (ElementKind kind : ReadingOrder) {
        int count = CountOf(kind, context);
        if (kind == element.kind) {
            return element.index >= 0 && element.index < count ? position + element.index : -1;
        }
        position += count;
    }
    return -1;
}

Rect ElementRect(const HitContext& context, const Element& element) noexcept {
    float scale = context.scale;
    switch (element.kind) {
    case ElementKind::Subtitle:
        return SubtitleRect(scale);
    case ElementKind::Language:
        return LanguageCellRect(element.index, scale);
    case ElementKind::Close:
        return CloseGlyphRect(scale);
    case ElementKind::Headline:
        return HeadlineRect(scale);
    case ElementKind::Card:
        return GameCardRect(element.index, scale);
    case ElementKind::EmptyList:
        return EmptyListTextRect(scale);
    case ElementKind::ChooseFolder:
        return ChooseFolderLinkRect(context.gameCount, scale);
    case ElementKind::StatusLine:
        return StatusLineRect(scale);
    case ElementKind::MainButton:
        return MainButtonRect(scale);
    case ElementKind::WebLink:
        return WebLinkRect(scale);
    case ElementKind::Credit:
        return CreditLineRect(scale);
    }
    return {0, 0, 0, 0};
}

ClickRoute ElementRoute(const HitContext& context, const Element& element) noexcept {
    switch (element.kind) {
    case ElementKind::Language:
        return {ClickTarget::Language, element.index};
    case ElementKind::Close:
        return {ClickTarget::Close, 0};
    case ElementKind::Card:
        return context.finished ? ClickRoute{ClickTarget::None, 0} : ClickRoute{ClickTarget::Card, element.index};
    case ElementKind::ChooseFolder:
        return {ClickTarget::ChooseFolder, 0};
    case ElementKind::MainButton:
        return {ClickTarget::MainButton, 0};
    case ElementKind::WebLink:
        return {ClickTarget::WebLink, 0};
    default:
        return {ClickTarget::None, 0};
    }
}

long ChildIdOf(const Element& element) noexcept {
    if (element.kind == ElementKind::Language) {
        return 1 + element.index;
    }
    if (element.kind == ElementKind::Card) {
        return FirstCardId + element.index;
    }
    for (const SingleId& single : SingleIds) {
        if (single.kind == element.kind) {
            return single.id;
        }
    }
    return 0;
}

bool ElementOfChildId(const HitContext& context, long childId, Element& element) noexcept {
    if (childId >= FirstCardId) {
        element = {ElementKind::Card, static_cast<int>(std::min<long>(childId - FirstCardId, INT_MAX))};
    } else if (childId >= 1 && childId <= LanguageCount) {
        element = {ElementKind::Language, static_cast<int>(childId - 1)};
    } else {
        const SingleId* single = std::find_if(std::begin(SingleIds), std::end(SingleIds),
                                              [childId](const SingleId& candidate) { return candidate.id == childId; });
        if (single == std::end(SingleIds)) {
            return false;
        }
        element = {single->kind, 0};
    }
    return PositionOf(context, element) >= 0;
}

bool IsPartlyOutside(const HitContext& context, const Element& element) noexcept {
    const Rect rect = ElementRect(context, element), client = ClientRectFor(context.scale);
    return rect.left < client.left || rect.top < client.top || rect.right > client.right || rect.bottom > client.bottom;
}

bool ElementAtPoint(const HitContext& context, int x, int y, Element& element) noexcept {
    const ClickRoute route = RouteClick(context, x, y);
    for (int position = 0; ElementAt(context, position, element); ++position) {
        ClickRoute own = ElementRoute(context, element);
        if (route.target != ClickTarget::None
                ? own.target == route.target && own.index == route.index
                : own.target == ClickTarget::None && Contains(ElementRect(context, element), x, y)) {
            return true;
        }
    }
    return false;
}
