#include "discovery/library_line.h"

bool FindPathValue(std::string_view line, std::string_view& rawValue) noexcept {
    constexpr std::string_view key = "\"path\"";
    size_t keyAt = line.find(key);
    if (keyAt == std::string_view::npos) {
        return false;
    }
    size_t open = line.find('"', keyAt + key.size());
    if (open == std::string_view::npos) {
        return false;
    }
    // The value may itself hold quotes: it runs to the last quote of the whole line.
    size_t close = line.rfind('"');
    if (close == std::string_view::npos || close <= open) {
        return false;
    }
    rawValue = line.substr(open + 1, close - open - 1);
    return true;
}

std::string CollapseBackslashes(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == '\\') {
            ++i;
        }
        out.push_back(raw[i]);
    }
    return out;
}
