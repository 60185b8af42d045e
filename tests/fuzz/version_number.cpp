// Fuzzes VersionNumber against the C library's own swscanf("%d.%d.%d") wherever the
// numbers fit in 32 bits (beyond that the standard scan's result is undefined).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "discovery/plugin_status.h"

namespace {

bool DigitRunsFit(const std::wstring& text) {
    int run = 0;
    for (wchar_t c : text) {
        run = (c >= L'0' && c <= L'9') ? run + 1 : 0;
        if (run > 9) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i < size && i < 64; ++i) {
        text.push_back(static_cast<wchar_t>(data[i]));
    }
    int number = VersionNumber(text);
    if (text.find(L'\0') != std::wstring::npos || !DigitRunsFit(text)) {
        return 0;
    }
    int a = 0;
    int b = 0;
    int c = 0;
    std::swscanf(text.c_str(), L"%d.%d.%d", &a, &b, &c);
    auto expected =
        static_cast<std::int32_t>((static_cast<std::uint32_t>(a) * 1000u + static_cast<std::uint32_t>(b)) * 1000u +
                                  static_cast<std::uint32_t>(c));
    if (number != expected) {
        std::abort();
    }
    return 0;
}
