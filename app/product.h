#pragma once
// The product's web site. One value serves the link text, the click and the
// uninstall entry's "about" address, so they can never disagree.
#include <string_view>

inline constexpr wchar_t ProductWebAddress[] = L"https://kestrovane.app";

// The address without its scheme: what the window shows as the link text.
inline constexpr const wchar_t* ProductWebHost = ProductWebAddress + 8;

static_assert(std::wstring_view(ProductWebAddress).substr(0, 8) == L"https://");
