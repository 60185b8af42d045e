#pragma once
// The byte-level rule for one line of Steam's library file. No Windows headers: it also
// builds natively, where it is fuzzed.
#include <string>
#include <string_view>

// The bytes strictly between the first quote after the key "path" and the last quote of
// the line; false when the line carries no such value.
bool FindPathValue(std::string_view line, std::string_view& rawValue) noexcept;

// Undoes Steam's doubling of backslashes, pair by pair from the left; every other byte,
// a lone backslash included, is copied unchanged.
std::string CollapseBackslashes(std::string_view raw);
