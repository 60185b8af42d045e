#include "install/removal.h"

#include <windows.h>

#include "app/product_files.h"
#include "platform/file_removal.h"
#include "platform/path.h"

// Discovery left the game folder canonical: it must still be there, itself and not a link.
FolderHold HoldGameFolders(FolderChain& chain, const GameEntry& entry, std::wstring_view relative,
                           bool create) noexcept {
    const FolderHold hold = HoldFolder(chain, entry.folder, true);
    return hold == FolderHold::Held ? HoldFoldersBelow(chain, relative, create) : hold;
}

// Asks for exclusive write access to the existing library: a game that has loaded it
// keeps it open, so only a sharing violation means "in use". Every other error (missing
// file or folder, access denied) reads as not locked and shows up later, when the
// caller writes or deletes. OPEN_EXISTING and the immediate close leave the file as it was,
// wherever a link may lead, so the probe follows links like any read.
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
// did, and whatever stays behind in it is not worth failing the game for. Nothing is
// touched unless the plug-in folder, the product folder and its sounds are held as real
// folders; held, those two cannot go with the tree, so each is removed after its handle
// closes, while the folder above it is still held: RemoveDirectoryW takes an empty folder,
// or a link put in its place, never what a link leads to.
std::wstring RemovePluginFromGame(const GameEntry& entry) noexcept {
    try {
        FolderChain chain;
        const FolderHold plugins = HoldGameFolders(chain, entry, PluginFolderBelowGame, false);
        if (plugins != FolderHold::Held) {
            return plugins == FolderHold::NoFolder ? std::wstring() : entry.displayName;
        }
        const std::size_t depth = chain.handles.size();
        const std::wstring library = JoinPath(chain.path, PluginFileName);
        const std::wstring product = JoinPath(chain.path, ProductFolderName);
        if (HoldFoldersBelow(chain, JoinPath(ProductFolderName, SoundsFolderName), false) == FolderHold::Refused ||
            !RemoveFile(library)) {
            return entry.displayName;
        }
        RemoveTree(product);
        while (chain.handles.size() > depth) {
            const std::wstring folder = chain.path;
            ReleaseFolders(chain, chain.handles.size() - 1);
            RemoveDirectoryW(folder.c_str());
        }
        return {};
    } catch (...) {
        return entry.displayName;
    }
}
