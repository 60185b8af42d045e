#pragma once
// The window's client area for screen readers, voice control and switch access: an
// IAccessible whose children are the elements on screen (ui/elements.h).
#include <windows.h>
#include <oleacc.h>

// Posted by a reader's default action: wParam the ClickTarget and, in the upper 32 bits, the
// screen generation the reader had been told of (app/reader_events.h); lParam its index.
inline constexpr UINT DefaultActionMessage = WM_APP + 1;

LRESULT OnGetObject(HWND window, WPARAM wParam, LPARAM lParam) noexcept;

// What the objects that belong to the window's accessible object answer first: S_OK while it
// answers, RPC_E_DISCONNECTED once the window is gone.
HRESULT OwnerAnswer(IAccessible* owner) noexcept;
