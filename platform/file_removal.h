#pragma once
// Removal with the Windows behaviour users expect: read-only entries go too, and links are
// removed as links, never followed.
#include <string>

// Deletes a file, clearing the read-only attribute first. True when nothing is left at
// the path: deleted now, or not there to begin with; a share out of reach is a failure.
bool RemoveFile(const std::wstring& path) noexcept;

// Deletes a folder with everything in it, as much as can go. Symbolic links and junctions
// are removed as links and never descended into, so their targets survive; any other
// reparse point is a file or folder like the rest.
void RemoveTree(const std::wstring& path) noexcept;
