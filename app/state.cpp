#include "app/state.h"

InstallerState state;

void SetStatus(const std::wstring& text, Color color) noexcept {
    try {
        state.statusText = text;
    } catch (...) {
        state.statusText.clear();
    }
    state.statusColor = color;
    if (state.window) {
        InvalidateRect(state.window, nullptr, FALSE);
        UpdateWindow(state.window);
    }
}
