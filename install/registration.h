#pragma once
#include <windows.h>

#include <string>

// Below HKEY_CURRENT_USER: the product's entry in the list of installed programs.
inline constexpr wchar_t UninstallKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrovane";

// Keeps a copy of the running installer and writes the uninstall entry. Best effort.
void RegisterUninstallEntry() noexcept;

// Deletes the uninstall entry and queues the copy for deletion at the next restart.
void UnregisterUninstallEntry() noexcept;
