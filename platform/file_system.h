#pragma once
// File-system queries and folder creation with the standard library's meaning under
// Windows rules, done with Win32 calls. Any error reads as "absent" or "failed".
#include <string>
#include <string_view>

#include "platform/not_found_rule.h"

// Whether something is there (file, folder or link), following links as the standard
// status does: a link whose target is missing is absent.
bool Exists(const std::wstring& path) noexcept;

// Whether the path names a folder, or a link to one.
bool IsDirectory(const std::wstring& path) noexcept;

// Whether the path is reported as not there. After an error of any other kind (access
// denied, say) the path is neither missing nor there.
bool IsMissing(const std::wstring& path) noexcept;

// Whether something is there, or may be: also when Windows refuses to follow a link on the
// way, as RedirectionGuard refuses a junction a standard user made.
bool MayExist(const std::wstring& path) noexcept;

// Whether another process holds the existing file open, so that it cannot be opened for
// writing without sharing. Changes nothing, wherever the path leads.
bool IsHeldOpenElsewhere(const std::wstring& path) noexcept;

// Creates the folder with every missing parent. A folder already there is success;
// a file in the way is failure.
bool CreateFolders(const std::wstring& path) noexcept;

// Absolute, links and junctions resolved, every element as stored on disk, in its everyday
// spelling where it has one (EverydayPath). Empty when it cannot be had.
std::wstring CanonicalPath(const std::wstring& path) noexcept;

// The same for a file or folder already open (a HANDLE).
std::wstring CanonicalPathOf(void* file) noexcept;

// The attributes of a file or folder already open (a HANDLE), and its reparse tag when it is
// a reparse point (0 otherwise). False when they cannot be read.
bool ReadAttributesOf(void* file, unsigned long& attributes, unsigned long& tag) noexcept;

// Whether both paths name the same file or folder (same volume and file id, both read
// while both are open). A path that cannot be opened or queried is "different".
bool SameFile(const std::wstring& a, const std::wstring& b) noexcept;

// Whether two paths are the same text to Windows: compared ordinally without case, trailing
// separators aside. Nothing is looked up on disk.
bool SamePathIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept;
