#pragma once
// The main window's file list (File1): which files of a folder it offers and
// in which order. The front end lists the folder's files (hidden ones left
// out, as the system marks them) and watches it; these rules pick the key
// data files from what it found.
#include <cstddef>
#include <optional>
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

// A key the file list gets while it has the focus.
enum class FileListKey { kDown, kUp, kSpace, kReturn, kOther };

// With no file chosen, Down, Up, Space or Return without Shift, Ctrl or Alt
// first chooses the row the list's focus frame is on (the first when it is
// on none): a list of one file could not be chosen by an arrow otherwise.
// The row to choose; nothing when the list takes the key as it would.
std::optional<std::size_t> RowTheFirstKeyChooses(FileListKey key, bool modified, bool anyChosen,
                                                 std::size_t rowCount,
                                                 std::optional<std::size_t> focusRow);

}  // namespace bladeway
