#pragma once
// The children of the window's accessible object in reading order, for AccessibleChildren.
#include <windows.h>
#include <oleacc.h>

// A new enumerator at a reading position, or null when there is no memory for one. It answers
// while `owner` does, which it holds.
IEnumVARIANT* NewChildEnumerator(IAccessible* owner, int cursor) noexcept;
