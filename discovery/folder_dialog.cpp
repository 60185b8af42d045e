#include "discovery/folder_dialog.h"

#include <windows.h>
#include <shobjidl.h>

#include <string>

#include "app/state.h"
#include "discovery/game_folder.h"
#include "platform/path.h"

namespace {

// The folder as chosen, then its grandparent, then its parent: so choosing the game
// folder, its bin or its bin\win_x64 all find the game.
bool RecognizeChosenFolder(const std::wstring& chosen, GameEntry& entry) noexcept {
    try {
        const std::wstring parent = ParentPath(chosen);
        return ScanGameFolder(chosen, entry) || ScanGameFolder(ParentPath(parent), entry) ||
               ScanGameFolder(parent, entry);
    } catch (...) {
        return false;
    }
}

// Returns the chosen folder's file-system path (freed with CoTaskMemFree), or null
// when the user cancelled or no path could be had.
PWSTR ShowFolderPicker(IFileOpenDialog* dialog) noexcept {
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM);
    if (FAILED(dialog->Show(state.window))) {
        return nullptr;
    }
    IShellItem* item = nullptr;
    if (FAILED(dialog->GetResult(&item))) {
        return nullptr;
    }
    PWSTR path = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
        path = nullptr;
    }
    item->Release();
    return path;
}

} // namespace

// An already listed game is not added again, whatever spelling reached it; the status
// line is cleared all the same, as for an addition.
void AddChosenFolder(const wchar_t* chosen) noexcept {
    try {
        GameEntry entry;
        if (!RecognizeChosenFolder(chosen, entry)) {
            SetStatus(GetText(NotAGameFolder), StatusColorError);
            return;
        }
        AppendUnlessListed(std::move(entry));
        SetStatus(L"", StatusColorInfo);
    } catch (...) {
    }
}

void ChooseGameFolder() noexcept {
    IFileOpenDialog* dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                reinterpret_cast<void**>(&dialog)))) {
        return;
    }
    PWSTR chosen = ShowFolderPicker(dialog);
    if (chosen) {
        AddChosenFolder(chosen);
        CoTaskMemFree(chosen);
    }
    dialog->Release();
    Repaint();
}
