#pragma once
// Path values are wide strings with the standard library's path meaning under Windows
// rules: '\' and '/' both separate, a drive "X:", a server "\\name" or "\??" is the root name,
// letter case stays as written. Pure text: no Windows headers, so this also builds
// natively.
#include <string>
#include <string_view>
#include <vector>

// A path taken apart. Views point into the text that was split.
struct PathParts {
    std::wstring_view rootName;
    bool rootDirectory = false;
    std::vector<std::wstring_view> elements; // a run of separators separates once, never empty
    bool trailingSeparator = false;
};

PathParts SplitPath(std::wstring_view path);

// The standard append: a right side with a root directory or another root name
// replaces the left side (keeping the left root name in the first case); otherwise one
// '\' goes between the two unless the left side is empty, ends in a separator or is a
// bare root name ("C:" + "x" is "C:x").
std::wstring JoinPath(std::wstring_view left, std::wstring_view right);

template <typename... More> std::wstring JoinPath(std::wstring_view left, std::wstring_view right, More... more) {
    return JoinPath(JoinPath(left, right), more...);
}

// The standard parent: without the last element and the separators before it; a path
// with nothing after its root is its own parent, the root keeps all its separators
// ("C:\\x" gives "C:\\"), and a trailing separator ends an empty last element ("a\b\"
// gives "a\b").
std::wstring ParentPath(std::wstring_view path);

// The lexical normal form: separators become '\', runs of them one, "." elements go and
// ".." removes the element before it; letter case and a trailing separator stay, and a
// network path keeps its root name "\\server". In this form equal elements mean equal text.
std::wstring NormalPath(std::wstring_view path);

// A final path as the system answers it, in its everyday spelling: "\\?\C:\x" is "C:\x" and
// "\\?\UNC\server\share\x" is "\\server\share\x"; every other form stays whole.
std::wstring EverydayPath(std::wstring_view path);

// Whether the path names the root of a drive, share or volume, or has nothing after its root:
// "C:\", "C:", "\\server\share", "\\?\C:\", "\\?\Volume{…}\", "\\?\UNC\server\share".
bool IsVolumeRoot(std::wstring_view path);

// Without separators at the end, but never down into the root: "C:\x\\" gives "C:\x", "C:\"
// stays, since "C:" names the current folder of drive C.
std::wstring WithoutTrailingSeparators(std::wstring_view path);
