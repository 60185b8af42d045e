#pragma once

// (Re)creates the seven fonts of the installer state for the current scale.
void CreateFonts() noexcept;
