#include "install/sequences.h"

#include <string>
#include <vector>

#include "app/product_files.h"
#include "app/state.h"
#include "discovery/game_folder.h"
#include "discovery/steam_libraries.h"
#include "install/payload.h"
#include "install/registration.h"
#include "install/removal.h"
#include "platform/checked_files.h"
#include "platform/redirection_guard.h"
#include "platform/file_system.h"
#include "platform/path.h"
#include "res/resource_ids.h"

namespace {

// Per-game work: empty on success, otherwise the game's display name.
using GameWork = std::wstring (*)(const GameEntry&) noexcept;

void MarkInstalled(GameEntry& entry) {
    entry.pluginPresent = true;
    entry.installedVersion = InstallerVersion;
    entry.oldPluginPresent = false;
}

void MarkRemoved(GameEntry& entry) {
    entry.pluginPresent = false;
    entry.installedVersion.clear();
    entry.oldPluginPresent = false;
}

void FinishRun(const std::wstring& message) {
    SetStatus(message, StatusColorSuccess);
    state.finished = true;
    Repaint();
}

// The part both sequences share: pick the ticked games, refuse while one of them is
// running, then do the work game by game and report the failures together. Returns
// true only when every ticked game succeeded; `update` tells the install closing which
// message to show and is taken before any entry changes.
bool RunForTickedGames(GameWork work, bool& update) {
    std::vector<GameEntry*> selection;
    for (GameEntry& entry : state.games) {
        if (entry.checked) {
            selection.push_back(&entry);
        }
    }
    if (selection.empty()) {
        SetStatus(GetText(SelectAtLeastOneGame), StatusColorError);
        return false;
    }
    for (const GameEntry* entry : selection) {
        if (IsPluginFileLocked(*entry)) {
            SetStatus(GetText(CloseGameFirst) + entry->displayName, StatusColorError);
            return false;
        }
    }
    update = !state.uninstallMode && ButtonLabelId() == UpdateLabel;
    // On from the first write on, for the rest of the process. Discovery and the folders chosen
    // by hand before it only read, and so still reach a game the player moved and left a
    // junction of their own for; the run then starts at the canonical folder. Where the system
    // lacks the guard, the checked handles alone keep the run in the game folders.
    EnforceRedirectionTrust();
    SetStatus(GetText(Installing), StatusColorInfo);

    std::wstring failures;
    for (GameEntry* entry : selection) {
        const std::wstring failure = work(*entry);
        if (!failure.empty()) {
            if (!failures.empty()) {
                failures += L", ";
            }
            failures += failure;
        } else if (state.uninstallMode) {
            MarkRemoved(*entry);
        } else {
            MarkInstalled(*entry);
        }
    }
    if (!failures.empty()) {
        SetStatus(GetText(WriteFailed) + failures + L". " + GetText(RunAsAdministrator), StatusColorError);
        return false;
    }
    return true;
}

// The predecessor goes first so that a game never loads both plug-ins; failing to
// delete it does not fail the game, but a link in its place that cannot be removed as a
// link does. Every other step fails it, the first being to make the folders written in
// where missing and hold them as real folders until the game is done.
std::wstring InstallToGame(const GameEntry& entry) noexcept {
    try {
        FolderChain chain;
        if (HoldGameFolders(chain, entry, JoinPath(PluginFolderBelowGame, ProductFolderName, SoundsFolderName), true) !=
            FolderHold::Held) {
            return entry.displayName;
        }
        const HeldFolder& plugins = chain.folders[chain.folders.size() - 3];
        const HeldFolder& sounds = chain.folders.back();
        if (RemoveFileIn(plugins, PredecessorFileName) == Removal::Refused ||
            !ExtractResourceToFile(IDR_PLUGIN_DLL, plugins, PluginFileName) ||
            !ExtractResourceToFile(IDR_DOOR_OPEN_WAV, sounds, DoorOpenSoundName) ||
            !ExtractResourceToFile(IDR_DOOR_CLOSE_WAV, sounds, DoorCloseSoundName)) {
            return entry.displayName;
        }
        return {};
    } catch (...) {
        return entry.displayName;
    }
}

// Looks at every Steam library's standard game folders, listed or not: the product
// stays registered while any of them still holds the library, so that it can be
// removed later from the list of installed programs. Only reads, so links count, and a
// player's own junction that RedirectionGuard will not follow may hide one.
bool PluginLeftInAnyLibrary() {
    for (const std::wstring& library : FindSteamLibraries()) {
        for (const GameKind& kind : GameKinds) {
            if (MayExist(JoinPath(PluginFolderPath(GameFolderPath(library, kind)), PluginFileName))) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

void RunInstallSequence() noexcept {
    try {
        bool update = false;
        if (!RunForTickedGames(InstallToGame, update)) {
            return;
        }
        RegisterUninstallEntry();
        FinishRun(GetText(update ? DoneUpdated : DoneInstalled));
    } catch (...) {
    }
}

void RunUninstallSequence() noexcept {
    try {
        bool update = false;
        if (!RunForTickedGames(RemovePluginFromGame, update)) {
            return;
        }
        if (!PluginLeftInAnyLibrary()) {
            UnregisterUninstallEntry();
        }
        FinishRun(GetText(Removed));
    } catch (...) {
    }
}
