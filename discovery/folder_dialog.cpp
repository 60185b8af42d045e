// Placeholder until manual folder selection lands.
#include "discovery/folder_dialog.h"

void ChooseGameFolder() noexcept {}
