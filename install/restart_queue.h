#pragma once
// The operations Windows runs at the next restart, as its session manager keeps them: one
// multi-string value of pairs, a source ("\??\C:\x", or "*1\??\C:\x" with the marker that
// Windows 10 and 11 put before it) and a target (empty for a deletion, "!\??\C:\y" to
// replace), closed by an empty string. Pure text: no Windows headers, so the native,
// sanitizer and fuzz builds reach it too.
#include <string>
#include <string_view>

// Whether two paths name the same file by their text: Windows compares them without case.
using SamePathText = bool (*)(std::wstring_view, std::wstring_view) noexcept;

// The queue without the deletions of `copy` and `folder`. True when something was taken out;
// `edited` then holds the rest, every other pair byte for byte and in its order, closed by
// its empty string. False, and `edited` untouched, for a value with nothing of ours or one
// that cannot be read as pairs: such a value is left exactly as it is.
bool WithoutDeletionsOf(std::wstring_view queue, std::wstring_view copy, std::wstring_view folder, SamePathText same,
                        std::wstring& edited);
