#include "app/state.h"

#include "ui/screen_text.h"

InstallerState state;

HitContext CurrentHitContext() noexcept {
    return {state.scale, static_cast<int>(state.games.size()), state.finished, state.uninstallMode,
            IsStatusLineShown(state.statusText, state.finished, state.uninstallMode, state.games)};
}

// Painting covers every pixel, so nothing is erased first.
void Repaint() noexcept {
    if (state.window) {
        InvalidateRect(state.window, nullptr, FALSE);
    }
}

void SetStatus(const std::wstring& text, Color color) noexcept {
    try {
        state.statusText = text;
    } catch (...) {
        state.statusText.clear();
    }
    state.statusColor = color;
    Repaint();
    if (state.window) {
        UpdateWindow(state.window);
    }
    ++state.statusSets;
}
