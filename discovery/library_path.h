#pragma once
// Text rules for Steam library folders under Windows path syntax. No Windows headers.
#include <string>
#include <string_view>

// Lexical normal form: separators become '\', runs of them one, "." elements go and ".."
// removes the element before it; letter case and a trailing separator stay. A network
// path keeps its root name "\\server".
std::wstring NormalizeLibraryPath(std::wstring_view path);

// Element-wise equality: same root name, both or neither with a root separator, the same
// elements as exact (case-sensitive) text; a run of separators counts as one, and a
// trailing separator is an element of its own.
bool SameLibraryPath(std::wstring_view a, std::wstring_view b);
