#pragma once
#include <string>

#include "app/game_entry.h"

// Whether another process holds the game's installed plug-in library open, as a
// running game that has loaded it does.
bool IsPluginFileLocked(const GameEntry& entry) noexcept;

// Removes the plug-in library and the product folder from one game: empty on success,
// otherwise the game's display name.
std::wstring RemovePluginFromGame(const GameEntry& entry) noexcept;
