#pragma once
#include <string>

#include "app/game_entry.h"
#include "discovery/plugin_status.h"

// Recognises a game folder and fills the entry; leaves it untouched when not a game.
bool ScanGameFolder(const std::wstring& candidate, GameEntry& entry) noexcept;

// "a.b.c" from the file's product version, or empty.
std::wstring ReadPluginVersion(const std::wstring& file) noexcept;

// Appends a recognised game to the game list unless an entry already refers to the same
// folder by file-system identity. Returns whether it was appended.
bool AppendUnlessListed(GameEntry&& entry);

// ButtonLabelIdFor over the installer's game list.
TextId ButtonLabelId() noexcept;
