#include "discovery/library_path.h"

#include <vector>

namespace {

bool IsSeparator(wchar_t c) noexcept {
    return c == L'\\' || c == L'/';
}

struct PathParts {
    std::wstring rootName;
    bool rootDirectory = false;
    std::vector<std::wstring_view> elements;
    bool trailingSeparator = false;
};

// Root names as Windows knows them: a drive "X:", or "\\server" for a network path (two
// separators and then a name). MinGW's std::filesystem drops the second form, hence this.
size_t RootNameLength(std::wstring_view path) noexcept {
    if (path.size() >= 2 && path[1] == L':' &&
        ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'))) {
        return 2;
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

PathParts Split(std::wstring_view path) {
    PathParts parts;
    size_t rootLength = RootNameLength(path);
    parts.rootName.assign(path.substr(0, rootLength));
    std::wstring_view rest = path.substr(rootLength);
    parts.rootDirectory = !rest.empty() && IsSeparator(rest.front());
    size_t pos = 0;
    while (pos < rest.size()) {
        while (pos < rest.size() && IsSeparator(rest[pos])) {
            ++pos;
        }
        size_t start = pos;
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

} // namespace

std::wstring NormalizeLibraryPath(std::wstring_view path) {
    if (path.empty()) {
        return {};
    }
    PathParts parts = Split(path);
    std::vector<std::wstring_view> kept;
    bool trailing = parts.trailingSeparator;
    for (size_t i = 0; i < parts.elements.size(); ++i) {
        std::wstring_view element = parts.elements[i];
        bool last = i + 1 == parts.elements.size();
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
    std::wstring result = parts.rootName;
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

bool SameLibraryPath(std::wstring_view a, std::wstring_view b) {
    PathParts first = Split(a);
    PathParts second = Split(b);
    return first.rootName == second.rootName && first.rootDirectory == second.rootDirectory &&
           first.elements == second.elements && first.trailingSeparator == second.trailingSeparator;
}
