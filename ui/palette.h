#pragma once
// The one dark theme. Values are GDI COLORREFs (0x00BBGGRR); kept as plain integers
// so the text and layout rules that pick colours build without Windows headers.
#include <cstdint>

using Color = std::uint32_t;

namespace Theme {
inline constexpr Color Background = 0x1B1816;
inline constexpr Color Surface = 0x282320;
inline constexpr Color Border = 0x3E3733;
inline constexpr Color Accent = 0x05B7F2;
inline constexpr Color TextPrimary = 0xF2F0EE;
inline constexpr Color TextSecondary = 0xB8AFA9;
inline constexpr Color TextOnAccent = 0x00151A;
inline constexpr Color Error = 0x808AFF;
inline constexpr Color Success = 0x8CD37E;
} // namespace Theme

inline constexpr Color StatusColorInfo = Theme::TextSecondary;
inline constexpr Color StatusColorError = Theme::Error;
inline constexpr Color StatusColorSuccess = Theme::Success;
