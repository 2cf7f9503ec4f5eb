#include "core/presentation/key_data_file_list.h"

#include <utility>

#include "core/text/name_order.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

constexpr std::string_view kKeyDataExtension = ".dat";

}  // namespace

bool IsKeyDataFileName(std::string_view name) {
    return name.size() >= kKeyDataExtension.size() &&
           EqualsIgnoringCase(name.substr(name.size() - kKeyDataExtension.size()),
                              kKeyDataExtension);
}

std::vector<std::string> KeyDataFileNames(std::vector<std::string> fileNames) {
    std::erase_if(fileNames, [](const std::string& name) { return !IsKeyDataFileName(name); });
    return SortedNames(std::move(fileNames));
}

bool CanListFolder(const FileSystem& fileSystem, const std::string& folder) {
    return !folder.empty() && fileSystem.FolderExists(folder);
}

std::optional<std::size_t> RowTheFirstKeyChooses(FileListKey key, bool modified, bool anyChosen,
                                                 std::size_t rowCount,
                                                 std::optional<std::size_t> focusRow) {
    if (key == FileListKey::kOther || modified || anyChosen || rowCount == 0) {
        return std::nullopt;
    }
    return focusRow && *focusRow < rowCount ? *focusRow : 0;
}

}  // namespace bladeway
