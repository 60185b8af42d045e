#pragma once
// Removal by path, for what is not a game's: links are removed as links, never followed.
#include <string>

// Deletes a folder with everything in it, as much as can go, through the folder that holds it
// (platform/checked_files.h). A drive, share or volume root is never removed.
void RemoveTree(const std::wstring& path) noexcept;

// Asks Windows to delete the file, or the folder once it is empty, at the next restart. Not
// while a link is at the path, or an entry of the other kind: the deletion is carried out by
// name at the restart, by the system and not by this process, wherever the name then leads.
void QueueRemovalAtRestart(const std::wstring& path, bool folder) noexcept;
