#pragma once
// The window's elements as assistive technology reads them: what is on screen, in reading
// order, and where. Free of Windows headers like the layout it is built on.
#include "ui/layout.h"

enum class ElementKind {
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

// The rectangle that painting and clicks use for the element, in client pixels.
Rect ElementRect(const HitContext& context, const Element& element) noexcept;

// What a click on the element does; ClickTarget::None for the texts.
ClickRoute ElementRoute(const Element& element) noexcept;

// The reading position of the element a click route acts on, or -1 when a click could not
// reach it now (none is on screen, or the route leads nowhere).
int PositionOfRoute(const HitContext& context, const ClickRoute& route) noexcept;

// The reading position of the element under a client point, or -1: the click order decides
// between overlapping elements, then the texts.
int PositionAtPoint(const HitContext& context, int x, int y) noexcept;
