// Placeholder until game folder recognition lands.
#include "discovery/game_folder.h"

#include "app/state.h"

bool ScanGameFolder(const std::filesystem::path&, GameEntry&) noexcept {
    return false;
}

std::filesystem::path PluginFolderPath(const GameEntry& entry) {
    return std::filesystem::path(entry.folder) / L"bin" / L"win_x64" / L"plugins";
}

std::wstring ReadPluginVersion(const std::filesystem::path&) noexcept {
    return {};
}

TextId ButtonLabelId() noexcept {
    return ButtonLabelIdFor(state.games);
}
