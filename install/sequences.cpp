// Placeholder until the install engine lands.
#include "install/sequences.h"

void RunInstallSequence() noexcept {}

void RunUninstallSequence() noexcept {}
