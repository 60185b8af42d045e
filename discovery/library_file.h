#pragma once
#include <string>
#include <vector>

// The value of every line of Steam's library file that carries the key "path", in file
// order, converted from UTF-8. A file that cannot be opened yields nothing; a read error
// ends the list early. Nothing is normalised or checked against the disk.
std::vector<std::wstring> ReadLibraryFolderPaths(const std::wstring& file) noexcept;
