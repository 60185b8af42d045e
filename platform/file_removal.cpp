#include "platform/file_removal.h"

#include <windows.h>

#include "platform/checked_files.h"
#include "platform/folder_chain.h"
#include "platform/link_rule.h"
#include "platform/path.h"

static_assert(ReparsePointAttribute == FILE_ATTRIBUTE_REPARSE_POINT && SymbolicLinkTag == IO_REPARSE_TAG_SYMLINK &&
              JunctionTag == IO_REPARSE_TAG_MOUNT_POINT);

void RemoveTree(const std::wstring& path) noexcept {
    try {
        if (IsVolumeRoot(path)) {
            return;
        }
        const std::wstring root = WithoutTrailingSeparators(path);
        FolderChain chain;
        if (HoldFolder(chain, ParentPath(root), false) == FolderHold::Held) {
            RemoveTreeIn(chain.folders.back(), SplitPath(root).elements.back());
        }
    } catch (...) {
    }
}

// A search reports the entry itself, with the tag of a reparse point.
void QueueRemovalAtRestart(const std::wstring& path, bool folder) noexcept {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(path.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    FindClose(search);
    if (!IsLinkEntry(found.dwFileAttributes, found.dwReserved0) &&
        ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folder) {
        MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
}
