#pragma once
#include <windows.h>

#include <string_view>

#include "platform/folder_chain.h"

// Writes the RT_RCDATA resource `id` of the running module to the file `name` in a held
// folder, byte for byte, replacing any earlier content. Creates no folders.
bool ExtractResourceToFile(WORD id, const HeldFolder& folder, std::wstring_view name) noexcept;
