#pragma once
#include <windows.h>

#include <string>

// Writes the RT_RCDATA resource `id` of the running module to `target`, byte for byte,
// replacing any earlier content. Creates no folders.
bool ExtractResourceToFile(WORD id, const std::wstring& target) noexcept;
