#pragma once
#include <string>
#include <vector>

// Steam's own folder first, then the library file's folders, without textual duplicates.
std::vector<std::wstring> FindSteamLibraries() noexcept;

// Appends every recognised game of every Steam library to the game list.
void DiscoverGames() noexcept;
