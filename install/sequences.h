#pragma once

// What the main button does in install mode.
void RunInstallSequence() noexcept;

// What the main button does in uninstall mode.
void RunUninstallSequence() noexcept;
