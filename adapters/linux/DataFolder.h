#pragma once

#include <filesystem>

namespace fenk {

// The folder the SDK keeps its files in: $XDG_DATA_HOME/fenk, or ~/.local/share/fenk when that variable is
// unset or not an absolute path.
std::filesystem::path fenkDataFolder();

// Creates the folder and any missing parent, each readable by the user only (0700); an existing folder is
// left as it is. Answers whether the folder exists afterwards.
bool makePrivateFolder(const std::filesystem::path& folder);

// Flushes a folder's entries (a created, renamed or removed file) to the disk.
bool syncFolder(const std::filesystem::path& folder);

}  // namespace fenk
