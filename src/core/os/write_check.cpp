#include <cerrno>
#include <cstring>
#include <optional>

#include "core/os/file_failures.h"
#include "core/os/folders.h"
#include "core/os/native_files.h"
#include "core/os/paths.h"

namespace bladeway::native {
namespace {

// For a folder found writable before, whether it holds folders; nothing for
// one not yet found so.
std::optional<bool> HoldsFolders(const WritableFolders* writableFolders,
                                 const std::string& folder) {
    if (writableFolders == nullptr) {
        return std::nullopt;
    }
    const auto known = writableFolders->find(folder);
    return known != writableFolders->end() ? std::optional<bool>(known->second) : std::nullopt;
}

}  // namespace

Outcome CheckWritable(const std::string& path, std::string_view what,
                      WritableFolders* writableFolders) {
    if (Outcome usable = CheckNameUsable(path, what); !usable) {
        return usable;
    }
    std::string folder = FolderOf(path);
    if (const std::optional<bool> holdsFolders = HoldsFolders(writableFolders, folder)) {
        if (*holdsFolders && StatusOf(path).isFolder) {
            return IsFolderFailure(what, path);
        }
        return {};
    }
    if (StatusOf(path).isFolder) {
        return IsFolderFailure(what, path);
    }
    if (const FileStatus status = StatusOf(folder); !status.isFolder) {
        // The C library's wording on both systems: no system call failed.
        return Failure{std::string(what) + " " + Quoted(path) + ": " +
                           std::strerror(status.exists ? ENOTDIR : ENOENT),
                       FailureKind::kNotFound};
    }
    if (Outcome permitted = CheckFolderPermission(folder, path, what); !permitted) {
        return permitted;
    }
    if (writableFolders != nullptr) {
        // A folder that cannot be listed is taken to hold folders: each path is looked at.
        const auto inside = ListSubfolders(folder);
        const bool holdsFolders = !inside || !inside.value().empty();
        writableFolders->emplace(std::move(folder), holdsFolders);
    }
    return {};
}

}  // namespace bladeway::native
