// Fuzzes the library path rules: on normalised paths the element-wise equality is plain
// text equality (discovery relies on that to compare libraries as text). The normal form is
// not always stable: ".\C:." loses its "." and then reads as a drive, as with the standard
// library's own lexical normal form, so that is not asked of it.

// The properties hold in every build type.
#undef NDEBUG
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/path.h"

namespace {

// Bytes to a path over a small alphabet, so separators, dots, drives and case collide often.
std::wstring PathFrom(const std::uint8_t* data, std::size_t size) {
    static const wchar_t alphabet[] = L"\\/.:aAcC \u00E9";
    std::wstring path;
    for (std::size_t i = 0; i < size; ++i) {
        path.push_back(alphabet[data[i] % (sizeof(alphabet) / sizeof(alphabet[0]) - 1)]);
    }
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t half = size / 2;
    std::wstring a = PathFrom(data, half);
    std::wstring b = PathFrom(data + half, size - half);
    std::wstring na = NormalPath(a);
    std::wstring nb = NormalPath(b);
    assert((SplitPath(na) == SplitPath(nb)) == (na == nb));
    return 0;
}
