#pragma once
// What UI Automation reads of the window beyond MSAA: the status line is a polite live region.
// Narrator and Voice Access see the window through Windows' MSAA proxy, which asks a custom
// MSAA server for such properties through IAccessibleEx, found by IServiceProvider on the
// accessible object; that is the documented way for a server like this one.
#include <windows.h>
#include <oleacc.h>

// The IAccessibleEx of `owner` itself (the client area), asked for by QueryService: answers
// `id` for it, or E_NOINTERFACE. It answers while `owner` does, which it holds.
HRESULT QueryAccessibleEx(IAccessible* owner, REFIID id, void** object) noexcept;
