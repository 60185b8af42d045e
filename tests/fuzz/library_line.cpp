// Fuzzes the library file's line rule: whole files split into lines, each line through the
// key search and the backslash collapse, the value through a UTF-8 decoder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "discovery/library_line.h"

namespace {

// Stand-in for MultiByteToWideChar(CP_UTF8): decodes, replacing every invalid sequence
// with U+FFFD and stopping at a zero byte.
std::u32string DecodeUtf8(std::string_view bytes) {
    std::u32string out;
    size_t i = 0;
    while (i < bytes.size() && bytes[i] != '\0') {
        auto b = static_cast<unsigned char>(bytes[i]);
        int length = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
        char32_t c = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
        bool valid = length > 0 && i + length <= bytes.size();
        for (int k = 1; valid && k < length; ++k) {
            auto next = static_cast<unsigned char>(bytes[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(c);
        i += length;
    }
    return out;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void FuzzLine(std::string_view line) {
    std::string_view raw;
    if (!FindPathValue(line, raw)) {
        return;
    }
    // The value lies inside the line, between two quotes, after the key.
    Check(raw.data() > line.data() && raw.data() + raw.size() < line.data() + line.size());
    Check(raw.data()[-1] == '"' && raw.data()[raw.size()] == '"');
    Check(line.substr(0, static_cast<size_t>(raw.data() - line.data())).find("\"path\"") != std::string_view::npos);
    Check(line.substr(static_cast<size_t>(raw.data() - line.data()) + raw.size() + 1).find('"') ==
          std::string_view::npos);

    std::string collapsed = CollapseBackslashes(raw);
    Check(collapsed.size() <= raw.size());
    Check(collapsed.size() >= (raw.size() + 1) / 2);
    // Doubling every backslash and collapsing again gives back what was doubled.
    std::string doubled;
    for (char c : collapsed) {
        doubled.push_back(c);
        if (c == '\\') {
            doubled.push_back('\\');
        }
    }
    Check(CollapseBackslashes(doubled) == collapsed);

    std::u32string wide = DecodeUtf8(collapsed);
    Check(wide.size() <= collapsed.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view file(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start <= file.size()) {
        size_t end = file.find('\n', start);
        std::string_view line =
            file.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        FuzzLine(line);
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return 0;
}
