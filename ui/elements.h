#pragma once
// The window's elements as assistive technology reads them: what is on screen, in reading
// order, where, and under which child id. Free of Windows headers like the layout it is built on.
#include "ui/layout.h"

enum class ElementKind {
    Subtitle,
    Language,
    Close,
    Headline,
    Card,
    EmptyList,
    ChooseFolder,
    StatusLine,
    MainButton,
    WebLink,
    Credit
};

struct Element {
    ElementKind kind;
    int index; // the language cell or the card; 0 otherwise
};

// How many elements are on screen now.
int ElementCount(const HitContext& context) noexcept;

// The element at a reading position from 0; false when there is none.
bool ElementAt(const HitContext& context, int position, Element& element) noexcept;

// The reading position of an element, or -1 when it is not on screen.
int PositionOf(const HitContext& context, const Element& element) noexcept;

// Child ids stay with their element whatever else comes and goes, so that a reader that acts on
// an event after the screen changed still reads the element the event was about.
long ChildIdOf(const Element& element) noexcept;

// The element a child id names, if it is on screen now.
bool ElementOfChildId(const HitContext& context, long childId, Element& element) noexcept;

// The rectangle that painting and clicks use for the element, in client pixels.
Rect ElementRect(const HitContext& context, const Element& element) noexcept;

// What a click on the element does now; ClickTarget::None for the texts, and for the cards
// after a finished run.
ClickRoute ElementRoute(const HitContext& context, const Element& element) noexcept;

// Whether part of the element lies outside the window: cards from the fifth on do.
bool IsPartlyOutside(const HitContext& context, const Element& element) noexcept;

// The element under a client point: the click order decides between overlapping elements,
// then the texts. False when there is none.
bool ElementAtPoint(const HitContext& context, int x, int y, Element& element) noexcept;
