#include "install/removal.h"

#include <windows.h>

#include "app/product_files.h"
#include "platform/file_removal.h"
#include "platform/path.h"

// Asks for exclusive write access to the existing library: a game that has loaded it
// keeps it open, so only a sharing violation means "in use". Every other error (missing
// file or folder, access denied) reads as not locked and shows up later, when the
// caller writes or deletes. OPEN_EXISTING and the immediate close leave the file as it was.
bool IsPluginFileLocked(const GameEntry& entry) noexcept {
    try {
        const std::wstring library = JoinPath(PluginFolderPath(entry.folder), PluginFileName);
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
        const std::wstring plugins = PluginFolderPath(entry.folder);
        if (!RemoveFile(JoinPath(plugins, PluginFileName))) {
            return entry.displayName;
        }
        RemoveTree(JoinPath(plugins, ProductFolderName));
        return {};
    } catch (...) {
        return entry.displayName;
    }
}
