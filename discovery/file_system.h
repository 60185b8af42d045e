#pragma once
// Where MinGW's std::filesystem differs from what Windows users get from Microsoft's
// library, these give the Windows behaviour. Everything else uses std::filesystem directly.
#include <filesystem>
#include <system_error>

// Absolute, links and junctions resolved, every element as stored on disk, no \\?\ prefix
// (\\?\UNC\ becomes \\). Empty path and ec set when it cannot be had.
std::filesystem::path CanonicalPath(const std::filesystem::path& path, std::error_code& ec) noexcept;

// Same volume serial number and file index. A path that cannot be opened is "different".
bool SameFileSystemObject(const std::filesystem::path& a, const std::filesystem::path& b) noexcept;

// Deletes a file, clearing the read-only attribute first. A missing path is no error.
// Returns whether something was removed.
bool RemoveFile(const std::filesystem::path& path, std::error_code& ec) noexcept;

// Deletes a tree. Links and junctions inside it are removed as links and never descended
// into, so their targets survive. A missing path is no error. Returns the count removed.
std::uintmax_t RemoveTree(const std::filesystem::path& path, std::error_code& ec) noexcept;
