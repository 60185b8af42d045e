#pragma once
// The one way the elevated run writes and deletes in a game's folders and in the installer
// copy's folder: by names inside a folder it holds (platform/folder_chain.h), each opened as
// itself relative to that folder's handle and checked on the very handle that then writes or
// deletes (platform/entry_rule.h).
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/folder_chain.h"

enum class Removal {
    Gone,    // deleted now, or nothing was there
    Failed,  // still there: in use, denied, a folder where a file was asked for
    Refused, // a link the system cannot remove as a link, or an entry with a second name
};

// Writes the bytes to the file `name`, created where missing and replaced where present;
// others may keep it open meanwhile. False when it cannot be opened, fails the check, or the
// write fails (a file may then be left partly written).
bool WriteFileIn(const HeldFolder& folder, std::wstring_view name, const void* bytes, std::size_t size) noexcept;

// The same with the content of another file, read wherever its path leads.
bool CopyFileIn(const HeldFolder& folder, std::wstring_view name, const std::wstring& source) noexcept;

// Deletes the file `name`, read-only or not, or a link there as a link.
Removal RemoveFileIn(const HeldFolder& folder, std::wstring_view name) noexcept;

// Deletes the folder `name` with everything in it, as much as can go. A link inside is removed
// as a link and never descended into; what cannot be removed stays.
void RemoveTreeIn(const HeldFolder& folder, std::wstring_view name) noexcept;
