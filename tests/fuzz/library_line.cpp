// The library file's line rule over arbitrary lines: the value found lies inside the line
// between the first quote after the key and the line's last quote, and collapsing
// backslashes undoes exactly Steam's doubling of them.

// The properties hold in every build type.
#undef NDEBUG
#include <cassert>
#include <cstdint>

#include "discovery/library_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    std::string_view raw;
    if (!FindPathValue(line, raw)) {
        return 0;
    }
    const size_t start = static_cast<size_t>(raw.data() - line.data()), key = line.find("\"path\"");
    assert(key != std::string_view::npos && line.find('"', key + 6) + 1 == start); // the first quote after the key
    assert(line.rfind('"') == start + raw.size());                                 // the line's last quote
    const std::string collapsed = CollapseBackslashes(raw);
    assert(collapsed.size() <= raw.size() && collapsed.size() >= (raw.size() + 1) / 2);
    std::string doubled;
    for (char c : collapsed) {
        doubled += c == '\\' ? "\\\\" : std::string(1, c);
    }
    assert(CollapseBackslashes(doubled) == collapsed);
    return 0;
}
