#pragma once
// The Preferences dialog marks a folder setting that names no folder, or
// none at all. The setting is kept as typed all the same: the folder may be
// made later, or lie on a volume that is not mounted yet, and an empty one
// is what a first start and a dialog closed by its frame leave.
#include <optional>
#include <string>
#include <string_view>

#include "core/storage/file_system.h"

namespace bladeway {

// "This folder does not exist: <folder>" when `folder` names no folder (a
// file of that name counts as none); for an empty field, `whenEmpty`, which
// says what a run or the file list then takes instead; nothing when the
// folder is there. The folder stays in the file system's encoding.
std::optional<std::string> MissingFolderWarning(const FileSystem& fileSystem,
                                                const std::string& folder,
                                                std::string_view whenEmpty);

}  // namespace bladeway
