#pragma once
#include <windows.h>

inline constexpr wchar_t WindowClassName[] = L"KestrovaneSetup";
inline constexpr wchar_t WindowTitle[] = L"Kestrovane Setup";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
