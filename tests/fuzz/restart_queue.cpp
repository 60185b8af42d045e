// The restart queue edit over arbitrary values (a byte a character, so that nulls are common):
// a rewritten value is a list of pairs closed by empty strings, and holds every pair of the
// original in order but deletions of our two paths.

// The properties hold in every build type.
#undef NDEBUG
#include <cassert>
#include <cstdint>
#include <vector>

#include "install/restart_queue.h"

// Sources and targets up to the first empty source, which only empty strings may follow.
std::vector<std::wstring_view> Pairs(std::wstring_view value) {
    std::vector<std::wstring_view> strings;
    size_t at = 0;
    for (size_t end; at < value.size() && (value[at] || strings.size() % 2); at = end + 1) {
        assert((end = value.find(L'\0', at)) != std::wstring_view::npos);
        strings.push_back(value.substr(at, end - at));
    }
    assert(strings.size() % 2 == 0 && value.find_first_not_of(L'\0', at) == std::wstring_view::npos);
    return strings;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring queue(data, data + size);
    std::wstring edited = L"untouched";
    if (!WithoutDeletionsOf(
            queue, L"c", L"f", [](auto a, auto b) noexcept { return a == b; }, edited)) {
        assert(edited == L"untouched");
        return 0;
    }
    const std::vector<std::wstring_view> before = Pairs(queue), after = Pairs(edited);
    size_t kept = 0;
    for (size_t i = 0; i < before.size(); i += 2) {
        if (kept < after.size() && before[i] == after[kept] && before[i + 1] == after[kept + 1]) {
            kept += 2;
        } else {
            assert(before[i + 1].empty() && (before[i].ends_with(L'c') || before[i].ends_with(L'f')));
        }
    }
    assert(kept == after.size() && kept < before.size() && edited.ends_with(L'\0'));
    return 0;
}
