#pragma once

// Lets the user pick a game folder by hand and appends it to the game list.
void ChooseGameFolder() noexcept;

// Adds the game found at a chosen folder, or says that it is none.
void AddChosenFolder(const wchar_t* chosen) noexcept;
