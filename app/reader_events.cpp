#include "app/reader_events.h"

#include <oleacc.h>

#include <algorithm>
#include <utility>

#include "app/state.h"
#include "ui/element_text.h"
#include "ui/elements.h"

namespace {

const long StatusLineId = ChildIdOf({ElementKind::StatusLine, 0});

const ElementFacts* Find(const ScreenFacts& screen, long childId) noexcept {
    auto found = std::find_if(screen.elements.begin(), screen.elements.end(),
                              [childId](const ElementFacts& facts) { return facts.childId == childId; });
    return found == screen.elements.end() ? nullptr : &*found;
}

} // namespace

ScreenFacts ReadScreen() noexcept {
    ScreenFacts screen = {{}, state.statusSets};
    try {
        const HitContext context = CurrentHitContext();
        Element element = {};
        for (int position = 0; ElementAt(context, position, element); ++position) {
            screen.elements.push_back({ChildIdOf(element), NameOf(&element).value_or(L""),
                                       DescriptionOf(&element).value_or(L""), StateOf(&element, state.window),
                                       ElementRect(context, element)});
        }
    } catch (...) {
        screen.elements.clear();
    }
    return screen;
}

// An element that comes is shown, one that goes is hidden, and the client area reorders its
// children; an element that stays raises one event per property that changed. The status line
// is a live region: whenever it says something new, or a status was set again, its name change
// and then, last of all, its live-region change tell readers to speak it, once per action. So
// "Installing..." is never told: it is gone before a reader could read it, as the install blocks
// the window's thread. The client area's own description (the headline and the status line) is
// not told: NVDA speaks a description change of the focused object, which would say the outcome
// a second time.
void TellReaders(const ScreenFacts& before) noexcept {
    if (!state.window) {
        return;
    }
    try {
        const ScreenFacts after = ReadScreen();
        const bool statusSet = after.statusSets != before.statusSets;
        bool spoken = false, reordered = false;
        std::vector<std::pair<DWORD, long>> events;
        for (const ElementFacts& now : after.elements) {
            const ElementFacts* then = Find(before, now.childId);
            const bool status = now.childId == StatusLineId;
            if (!then) {
                events.push_back({EVENT_OBJECT_SHOW, now.childId});
                reordered = true;
            } else {
                const std::pair<DWORD, bool> changes[] = {
                    {EVENT_OBJECT_STATECHANGE, then->state != now.state},
                    {EVENT_OBJECT_NAMECHANGE, then->name != now.name && !status},
                    {EVENT_OBJECT_DESCRIPTIONCHANGE, then->description != now.description},
                    {EVENT_OBJECT_LOCATIONCHANGE, then->rect != now.rect},
                };
                for (const auto& [event, changed] : changes) {
                    if (changed) {
                        events.push_back({event, now.childId});
                    }
                }
            }
            if (status && (statusSet || !then || then->name != now.name)) {
                events.push_back({EVENT_OBJECT_NAMECHANGE, now.childId});
                spoken = true;
            }
        }
        for (const ElementFacts& then : before.elements) {
            if (!Find(after, then.childId)) {
                events.push_back({EVENT_OBJECT_HIDE, then.childId});
                reordered = true;
            }
        }
        if (reordered) {
            events.push_back({EVENT_OBJECT_REORDER, CHILDID_SELF});
        }
        if (spoken) {
            events.push_back({EVENT_OBJECT_LIVEREGIONCHANGED, StatusLineId});
        }
        if (events.empty()) {
            return;
        }
        // Posted before the events go out, so that any request a reader makes on hearing them
        // comes after it.
        PostMessageW(state.window, ReadersToldMessage, ++state.screenGeneration, 0);
        for (const auto& [event, childId] : events) {
            NotifyWinEvent(event, state.window, OBJID_CLIENT, childId);
        }
    } catch (...) {
    }
}
