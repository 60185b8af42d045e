#pragma once
// Plug-in status rules over game entries. No Windows headers: these also build natively.
#include <string_view>
#include <vector>

#include "app/game_entry.h"
#include "ui/text.h"

enum class PluginStatus { NotInstalled, UpdateNeeded, SameVersion, NewerInstalled };

// (a * 1000 + b) * 1000 + c from "a.b.c", scanned the way swscanf("%d.%d.%d") does.
int VersionNumber(std::wstring_view version) noexcept;

PluginStatus GetPluginStatus(const GameEntry& entry) noexcept;

// InstallLabel, UpdateLabel or ReinstallLabel for the checked entries of a list.
TextId ButtonLabelIdFor(const std::vector<GameEntry>& games) noexcept;
