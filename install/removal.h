#pragma once
#include <string>

#include "app/game_entry.h"
#include "platform/folder_chain.h"

// Whether another process holds the game's installed plug-in library open, as a
// running game that has loaded it does.
bool IsPluginFileLocked(const GameEntry& entry) noexcept;

// Removes the plug-in library and the product folder from one game: empty on success,
// otherwise the game's display name.
std::wstring RemovePluginFromGame(const GameEntry& entry) noexcept;

// Holds the game's folder and the folders of `relative` below it for the game's run.
FolderHold HoldGameFolders(FolderChain& chain, const GameEntry& entry, std::wstring_view relative,
                           bool create) noexcept;
