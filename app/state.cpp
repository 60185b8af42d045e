#include "app/state.h"

InstallerState state;

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
}
