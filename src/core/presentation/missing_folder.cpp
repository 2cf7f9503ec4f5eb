#include "core/presentation/missing_folder.h"

namespace bladeway {

std::optional<std::string> MissingFolderWarning(const FileSystem& fileSystem,
                                                const std::string& folder,
                                                std::string_view whenEmpty) {
    if (folder.empty())
        return "This field is empty: " + std::string(whenEmpty);
    if (fileSystem.FolderExists(folder))
        return std::nullopt;
    return "This folder does not exist: " + folder;
}

}  // namespace bladeway
