#pragma once
#include <windows.h>

#include <string>

// Below HKEY_CURRENT_USER: the product's entry in the list of installed programs.
inline constexpr wchar_t UninstallKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrovane";

// <local application data>\Kestrovane\Kestrovane-Setup.exe, the copy that Windows starts
// with /uninstall.
std::wstring InstallerCopyPath() noexcept;

// One REG_SZ value, stored with its terminating null.
void SetRegistryString(HKEY key, const wchar_t* name, const wchar_t* text) noexcept;

// Keeps a copy of the running installer and writes the uninstall entry. Best effort.
void RegisterUninstallEntry() noexcept;

// Deletes the uninstall entry and queues the copy for deletion at the next restart.
void UnregisterUninstallEntry() noexcept;

// Queues the copy, then its folder, for deletion at the next restart.
void ScheduleInstallerCopyRemoval() noexcept;
