#pragma once
// The main window's file list (File1): which files of a folder it offers and
// in which order. The front end lists the folder's files (hidden ones left
// out, as the system marks them) and watches it; these rules pick the key
// data files from what it found.
#include <string>
#include <string_view>
#include <vector>

#include "core/storage/file_system.h"

namespace bladeway {

// A key data file's name ends with ".dat" in any letter case.
bool IsKeyDataFileName(std::string_view name);

// The key data files among `fileNames` (file names of one folder, in the
// file system's encoding, UTF-8), ordered by name without regard to letter
// case as far as Windows-1252 has letters in both cases; names equal so are
// ordered by their bytes.
std::vector<std::string> KeyDataFileNames(std::vector<std::string> fileNames);

// Whether the list can show `folder`: an empty text or a path that names no
// folder cannot be listed, and the list stays as it was.
bool CanListFolder(const FileSystem& fileSystem, const std::string& folder);

}  // namespace bladeway
