#include "install/removal.h"

#include <windows.h>

#include "discovery/file_system.h"
#include "discovery/game_folder.h"

// Asks for exclusive write access to the existing library: a game that has loaded it
// keeps it open, so only a sharing violation means "in use". Every other error (missing
// file or folder, access denied) reads as not locked and shows up later, when the
// caller writes or deletes. OPEN_EXISTING and the immediate close leave the file as it was.
bool IsPluginFileLocked(const GameEntry& entry) noexcept {
    try {
        const std::filesystem::path library = PluginFolderPath(entry) / L"Kestrovane.dll";
        HANDLE file =
            CreateFileW(library.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return false;
        }
        return GetLastError() == ERROR_SHARING_VIOLATION;
    } catch (...) {
        return false;
    }
}

// Only the library decides the outcome: the product folder goes only after the library
// did, and whatever stays behind in it is not worth failing the game for.
std::wstring RemovePluginFromGame(const GameEntry& entry) noexcept {
    try {
        const std::filesystem::path plugins = PluginFolderPath(entry);
        std::error_code ec;
        RemoveFile(plugins / L"Kestrovane.dll", ec);
        if (ec) {
            return entry.displayName;
        }
        RemoveTree(plugins / L"Kestrovane", ec);
        return {};
    } catch (...) {
        return entry.displayName;
    }
}
