#include "core/presentation/missing_folder.h"

namespace bladeway {

std::optional<std::string> MissingFolderWarning(const FileSystem& fileSystem,
                                                const std::string& folder) {
    // An empty setting names no folder that could be missing: it is what a
    // first start and a dialog closed by its frame leave, and an empty source
    // folder lists the current folder. Marking it would warn about a state
    // the user chose or has not got to yet, not about a mistyped path.
    if (folder.empty() || fileSystem.FolderExists(folder))
        return std::nullopt;
    return "This folder does not exist: " + folder;
}

}  // namespace bladeway
