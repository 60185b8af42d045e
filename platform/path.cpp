#include "platform/path.h"

namespace {

bool IsSeparator(wchar_t c) noexcept {
    return c == L'\\' || c == L'/';
}

bool IsDriveLetter(wchar_t c) noexcept {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// Root names as Windows knows them: a drive "X:", "\\server" for a network path (two
// separators and then a name; "\\?\" and "\\.\" prefixes read as the server "?" or ".",
// which keeps what follows them intact), or the object-manager prefix "\??" before a single
// separator.
size_t RootNameLength(std::wstring_view path) noexcept {
    if (path.size() >= 2 && path[1] == L':' && IsDriveLetter(path[0])) {
        return 2;
    }
    if (path.size() >= 4 && IsSeparator(path[0]) && path.substr(1, 2) == L"??" && IsSeparator(path[3]) &&
        (path.size() == 4 || !IsSeparator(path[4]))) {
        return 3;
    }
    if (path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2])) {
        size_t end = 2;
        while (end < path.size() && !IsSeparator(path[end])) {
            ++end;
        }
        return end;
    }
    return 0;
}

// "\\server" is absolute by itself, with or without a separator after it, and so is "\??",
// which always has one; a drive is absolute only with one.
bool IsNetworkRoot(std::wstring_view path) noexcept {
    return RootNameLength(path) > 2;
}

} // namespace

PathParts SplitPath(std::wstring_view path) {
    PathParts parts;
    const size_t rootLength = RootNameLength(path);
    parts.rootName = path.substr(0, rootLength);
    const std::wstring_view rest = path.substr(rootLength);
    parts.rootDirectory = !rest.empty() && IsSeparator(rest.front());
    size_t pos = 0;
    while (pos < rest.size()) {
        while (pos < rest.size() && IsSeparator(rest[pos])) {
            ++pos;
        }
        const size_t start = pos;
        while (pos < rest.size() && !IsSeparator(rest[pos])) {
            ++pos;
        }
        if (pos > start) {
            parts.elements.push_back(rest.substr(start, pos - start));
        }
    }
    parts.trailingSeparator = !parts.elements.empty() && IsSeparator(rest.back());
    return parts;
}

std::wstring JoinPath(std::wstring_view left, std::wstring_view right) {
    const size_t rightRoot = RootNameLength(right);
    const bool rightRootDirectory = rightRoot < right.size() && IsSeparator(right[rightRoot]);
    const std::wstring_view leftRootName = left.substr(0, RootNameLength(left));
    if (rightRoot > 0 && (rightRootDirectory || IsNetworkRoot(right) || right.substr(0, rightRoot) != leftRootName)) {
        return std::wstring(right);
    }
    std::wstring joined;
    if (rightRootDirectory) {
        joined = leftRootName;
    } else {
        joined = left;
        // A server alone is absolute, so a name after it is a share and needs its separator.
        const bool leftHasFileName = left.size() > leftRootName.size() && !IsSeparator(left.back());
        if (leftHasFileName || (left.size() == leftRootName.size() && IsNetworkRoot(left))) {
            joined += L'\\';
        }
    }
    joined += right.substr(rightRoot);
    return joined;
}

std::wstring ParentPath(std::wstring_view path) {
    const size_t rootName = RootNameLength(path);
    size_t relative = rootName;
    while (relative < path.size() && IsSeparator(path[relative])) {
        ++relative;
    }
    if (relative == path.size()) {
        return std::wstring(path);
    }
    size_t end = path.size();
    while (end > relative && !IsSeparator(path[end - 1])) {
        --end;
    }
    while (end > relative && IsSeparator(path[end - 1])) {
        --end;
    }
    if (end == relative) {
        // Only the root is left: the root name and the whole run of separators after it.
        return std::wstring(path.substr(0, relative));
    }
    return std::wstring(path.substr(0, end));
}

std::wstring NormalPath(std::wstring_view path) {
    if (path.empty()) {
        return {};
    }
    const PathParts parts = SplitPath(path);
    std::vector<std::wstring_view> kept;
    bool trailing = parts.trailingSeparator;
    for (size_t i = 0; i < parts.elements.size(); ++i) {
        const std::wstring_view element = parts.elements[i];
        const bool last = i + 1 == parts.elements.size();
        if (element == L".") {
            // "a\." is "a\": the separator before the dot stays.
            trailing = trailing || last;
        } else if (element == L"..") {
            if (!kept.empty() && kept.back() != L"..") {
                kept.pop_back();
                trailing = trailing || last;
            } else if (!parts.rootDirectory) {
                kept.push_back(element);
            }
            // Above a root separator there is nothing: "C:\.." is "C:\".
        } else {
            kept.push_back(element);
        }
    }
    if (!kept.empty() && kept.back() == L"..") {
        trailing = false;
    }
    std::wstring result(parts.rootName);
    for (wchar_t& c : result) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    if (parts.rootDirectory) {
        result += L'\\';
    }
    for (size_t i = 0; i < kept.size(); ++i) {
        if (i > 0) {
            result += L'\\';
        }
        result += kept[i];
    }
    if (trailing && !kept.empty()) {
        result += L'\\';
    }
    if (result.empty()) {
        result = L".";
    }
    return result;
}

// Only the two forms with an everyday spelling lose their prefix. A volume or device path
// ("\\?\Volume{...}\", "\\?\GLOBALROOT\...") has none: cut, it would read as a relative path
// and later writes would land below the current folder.
std::wstring EverydayPath(std::wstring_view path) {
    constexpr std::wstring_view longPrefix = L"\\\\?\\", uncPrefix = L"\\\\?\\UNC\\";
    if (path.starts_with(uncPrefix)) {
        return L"\\\\" + std::wstring(path.substr(uncPrefix.size()));
    }
    if (path.size() > 6 && path.starts_with(longPrefix) && IsDriveLetter(path[4]) && path[5] == L':' &&
        path[6] == L'\\') {
        return std::wstring(path.substr(longPrefix.size()));
    }
    return std::wstring(path);
}

bool IsVolumeRoot(std::wstring_view path) {
    const PathParts parts = SplitPath(path);
    const std::wstring_view root = parts.rootName;
    size_t levels = 0; // elements that still belong to the root
    if (root.size() >= 3 && IsSeparator(root[0]) && IsSeparator(root[1])) {
        const bool device = root == L"\\\\?" || root == L"\\\\." || root == L"//?" || root == L"//.";
        levels = !device ? 1 : !parts.elements.empty() && parts.elements[0] == L"UNC" ? 3 : 1;
    } else if (root.size() == 3) { // \??
        levels = !parts.elements.empty() && parts.elements[0] == L"UNC" ? 3 : 1;
    }
    return parts.elements.size() <= levels;
}

std::wstring WithoutTrailingSeparators(std::wstring_view path) {
    while (!path.empty() && IsSeparator(path.back()) && !IsVolumeRoot(path.substr(0, path.size() - 1))) {
        path.remove_suffix(1);
    }
    return std::wstring(path);
}
