// Placeholder until Steam library discovery lands.
#include "discovery/steam_libraries.h"

std::vector<std::filesystem::path> FindSteamLibraries() noexcept {
    return {};
}

void DiscoverGames() noexcept {}
