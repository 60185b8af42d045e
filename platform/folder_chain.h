#pragma once
// Folders held open from a known start down to where an elevated run writes or deletes, so
// that a link planted by a standard user cannot lead the run anywhere else.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Held; nothing there, or a file; or a link, a folder elsewhere than its path says, or one
// that could not be opened.
enum class FolderHold { Held, NoFolder, Refused };

// One folder held open (a HANDLE), the path it was reached by, and where the system says it is.
struct HeldFolder {
    void* handle;
    std::wstring path;
    std::wstring canonical;
};

// The folders held so far, outermost first. Each stays open until the chain is released or
// destroyed.
struct FolderChain {
    std::vector<HeldFolder> folders;
    FolderChain() = default;
    FolderChain(const FolderChain&) = delete;
    FolderChain& operator=(const FolderChain&) = delete;
    ~FolderChain();
};

// Starts the chain at a folder. `exact` asks for a canonical path: the folder must then
// not be a link and must resolve to that very path. Otherwise it is taken wherever links
// above it and at it lead.
FolderHold HoldFolder(FolderChain& chain, const std::wstring& path, bool exact) noexcept;

// Holds each folder of a relative path in turn below the innermost one held; `create`
// makes those that are missing. Stops at the first one not held.
FolderHold HoldFoldersBelow(FolderChain& chain, std::wstring_view relative, bool create) noexcept;

// Closes the innermost folders until `depth` stay held.
void ReleaseFolders(FolderChain& chain, std::size_t depth) noexcept;
