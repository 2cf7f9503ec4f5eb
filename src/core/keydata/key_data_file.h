#pragma once
// Reading a Lockplan key data file into the sheet: one column per "!"-ended
// key block, one row per data line, heading lines ("[" after leading spaces)
// left out, cells kept untrimmed.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "core/keydata/sheet.h"
#include "core/storage/file_system.h"
#include "core/text/expected.h"

namespace bladeway {

// Key data files larger than this are refused: real ones are a few megabytes
// at most, and the cell positions of a loaded sheet are 32-bit.
inline constexpr std::size_t kKeyDataFileLimit = std::size_t{64} << 20;

// The sheet `content` loads into: rows as many as the largest block's data
// lines, columns one fewer than the pieces between "!"s. The piece after the last "!" counts
// towards the rows and the columns but the column count is one less than the pieces, so that piece
// (and, for a file that ends right after its last "!", the block before it)
// is not shown.
LoadedSheet ParseKeyData(std::shared_ptr<const std::string> content);

// Loads `fileName` from `folder` into `sheet` with one read, replacing the
// whole sheet. A file that cannot be read leaves the sheet as it was and is
// reported.
Outcome LoadKeyDataFile(std::string_view folder, std::string_view fileName, Sheet& sheet,
                        const FileSystem& fileSystem = Disk());

// The same for a full path, as the command-line tool names its file.
Outcome LoadKeyDataFile(const std::string& path, Sheet& sheet,
                        const FileSystem& fileSystem = Disk());

}  // namespace bladeway
