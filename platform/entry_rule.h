#pragma once
// What an elevated run may do with an entry it has opened as itself in a folder it holds: pure,
// so that the rule is pinned by a table of what Windows reports, natively and under Wine alike.
#include "platform/link_rule.h"

inline constexpr unsigned long DirectoryAttribute = 0x10; // FILE_ATTRIBUTE_DIRECTORY

enum class EntryUse {
    Use,          // write it, delete it, or walk it if a folder
    RemoveAsLink, // a link opened as itself: deleting the handle removes the link, never its target
    Refuse,       // leave it as it is, and count the game as failed
};

// `links` is the number of names the entry has; `atItsName` whether the handle's final path is
// the held folder's path joined with the name opened.
// - Elsewhere than its name: a link the system resolved while opening it, as Wine does with a
//   Linux symlink, which every attribute query then shows as the plain entry it leads to.
// - A second name: a hard link shares its content and attributes with a file elsewhere, which
//   writing or clearing the read-only attribute would change. Folders have one name on
//   Windows; Wine reports a Linux folder's count of subfolders there, so it is asked of files only.
// - A reparse point that is no link (a cloud-file placeholder, a deduplicated file) may be
//   deleted, but not written through a handle that bypasses the filter that keeps its content.
constexpr EntryUse CheckedEntryUse(unsigned long attributes, unsigned long tag, unsigned long links, bool atItsName,
                                   bool writing) noexcept {
    if (!atItsName || (!(attributes & DirectoryAttribute) && links != 1)) {
        return EntryUse::Refuse;
    }
    if (IsLinkEntry(attributes, tag)) {
        return writing ? EntryUse::Refuse : EntryUse::RemoveAsLink;
    }
    return writing && (attributes & ReparsePointAttribute) ? EntryUse::Refuse : EntryUse::Use;
}
