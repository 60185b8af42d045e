#include "install/removal.h"

#include "app/product_files.h"
#include "platform/checked_files.h"
#include "platform/file_system.h"
#include "platform/path.h"

// Discovery left the game folder canonical: it must still be there, itself and not a link.
FolderHold HoldGameFolders(FolderChain& chain, const GameEntry& entry, std::wstring_view relative,
                           bool create) noexcept {
    const FolderHold hold = HoldFolder(chain, entry.folder, true);
    return hold == FolderHold::Held ? HoldFoldersBelow(chain, relative, create) : hold;
}

// A game that has loaded the library keeps it open. The probe only asks, so it follows links
// like any read.
bool IsPluginFileLocked(const GameEntry& entry) noexcept {
    try {
        return IsHeldOpenElsewhere(JoinPath(PluginFolderPath(entry.folder), PluginFileName));
    } catch (...) {
        return false;
    }
}

// Only the library decides the outcome: the product folder goes only after the library
// did, and whatever stays behind in it is not worth failing the game for. Nothing is
// touched unless the plug-in folder, the product folder and its sounds are real folders.
// Those two are let go before the tree removal, which opens each folder again relative to
// the one above and removes a link put in its place as a link.
std::wstring RemovePluginFromGame(const GameEntry& entry) noexcept {
    try {
        FolderChain chain;
        const FolderHold plugins = HoldGameFolders(chain, entry, PluginFolderBelowGame, false);
        if (plugins != FolderHold::Held) {
            return plugins == FolderHold::NoFolder ? std::wstring() : entry.displayName;
        }
        const std::size_t depth = chain.folders.size();
        if (HoldFoldersBelow(chain, JoinPath(ProductFolderName, SoundsFolderName), false) == FolderHold::Refused ||
            RemoveFileIn(chain.folders[depth - 1], PluginFileName) != Removal::Gone) {
            return entry.displayName;
        }
        ReleaseFolders(chain, depth);
        RemoveTreeIn(chain.folders.back(), ProductFolderName);
        return {};
    } catch (...) {
        return entry.displayName;
    }
}
