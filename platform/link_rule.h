#pragma once
// Which entries count as links: pure, so that the rule is pinned by a table of the values
// Windows reports, natively and under Wine alike.

// The attribute bit and the two tags as Windows defines them.
inline constexpr unsigned long ReparsePointAttribute = 0x400; // FILE_ATTRIBUTE_REPARSE_POINT
inline constexpr unsigned long SymbolicLinkTag = 0xA000000C;  // IO_REPARSE_TAG_SYMLINK
inline constexpr unsigned long JunctionTag = 0xA0000003;      // IO_REPARSE_TAG_MOUNT_POINT

// Whether an entry with these attributes and reparse tag is a link: a symbolic link or a
// junction, which name another place. Every other reparse point is a file or folder with
// content of its own: a cloud-file placeholder (a game on a synced drive), a deduplicated
// file. A tag means nothing without the reparse attribute. No reparse point on Windows has
// the tag 0; Wine gives it to a Linux symlink, a link.
constexpr bool IsLinkEntry(unsigned long attributes, unsigned long tag) noexcept {
    return (attributes & ReparsePointAttribute) && (tag == SymbolicLinkTag || tag == JunctionTag || tag == 0);
}
