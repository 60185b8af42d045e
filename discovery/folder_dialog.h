#pragma once

// Lets the user pick a game folder by hand and appends it to the game list.
void ChooseGameFolder() noexcept;
