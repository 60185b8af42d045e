#include "install/restart_queue.h"

#include <vector>

namespace {

// A source as written, without the marker ("*" and digits) and the object-manager prefix.
std::wstring_view PlainSource(std::wstring_view source) noexcept {
    if (source.starts_with(L'*')) {
        const size_t digits = source.find_first_not_of(L"0123456789", 1);
        source.remove_prefix(digits == std::wstring_view::npos ? source.size() : digits);
    }
    if (source.starts_with(L"\\??\\")) {
        source.remove_prefix(4);
    }
    return source;
}

struct Pair {
    std::wstring_view source;
    std::wstring_view target;
    std::wstring_view text; // both strings with their terminators, as stored
};

// Splits the value into its pairs and what follows the last one: the closing empty string,
// maybe more of them as padding, or nothing when a writer left it out. False when the value
// is not a list of pairs: a string without its terminator, a source without a target, or a
// pair after the closing empty string.
bool ReadPairs(std::wstring_view queue, std::vector<Pair>& pairs, std::wstring_view& tail) {
    size_t at = 0;
    while (at < queue.size() && queue[at] != L'\0') {
        const size_t sourceEnd = queue.find(L'\0', at);
        const size_t targetEnd = sourceEnd == std::wstring_view::npos ? sourceEnd : queue.find(L'\0', sourceEnd + 1);
        if (targetEnd == std::wstring_view::npos) {
            return false;
        }
        pairs.push_back({queue.substr(at, sourceEnd - at), queue.substr(sourceEnd + 1, targetEnd - sourceEnd - 1),
                         queue.substr(at, targetEnd + 1 - at)});
        at = targetEnd + 1;
    }
    tail = queue.substr(at);
    return tail.find_first_not_of(L'\0') == std::wstring_view::npos;
}

} // namespace

bool WithoutDeletionsOf(std::wstring_view queue, std::wstring_view copy, std::wstring_view folder, SamePathText same,
                        std::wstring& edited) {
    std::vector<Pair> pairs;
    std::wstring_view tail;
    if (!ReadPairs(queue, pairs, tail)) {
        return false;
    }
    std::wstring kept;
    bool dropped = false;
    for (const Pair& pair : pairs) {
        const std::wstring_view source = PlainSource(pair.source);
        if (pair.target.empty() && (same(source, copy) || same(source, folder))) {
            dropped = true;
        } else {
            kept.append(pair.text);
        }
    }
    if (!dropped) {
        return false;
    }
    // Without its closing empty string the next program to queue something would run its
    // first string into our last one, and a deletion could turn into a rename.
    kept.append(tail.empty() ? std::wstring_view(L"\0", 1) : tail);
    edited = std::move(kept);
    return true;
}
