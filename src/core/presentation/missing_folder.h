#pragma once
// The Preferences dialog marks a folder setting that names no folder. The
// setting is kept as typed all the same: the folder may be made later, or
// lie on a volume that is not mounted yet.
#include <optional>
#include <string>

#include "core/storage/file_system.h"

namespace bladeway {

// "This folder does not exist: <folder>" when `folder` names no folder (a
// file of that name counts as none); nothing when it does, or when it is
// empty. The folder stays in the file system's encoding.
std::optional<std::string> MissingFolderWarning(const FileSystem& fileSystem,
                                                const std::string& folder);

}  // namespace bladeway
