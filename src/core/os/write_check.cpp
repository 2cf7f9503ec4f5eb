#include <cerrno>
#include <cstring>

#include "core/os/file_failures.h"
#include "core/os/native_files.h"
#include "core/os/paths.h"

namespace bladeway::native {

Outcome CheckWritable(const std::string& path, std::string_view what,
                      std::unordered_set<std::string>* writableFolders) {
    if (Outcome usable = CheckNameUsable(path, what); !usable) {
        return usable;
    }
    if (StatusOf(path).isFolder) {
        return IsFolderFailure(what, path);
    }
    std::string folder = FolderOf(path);
    if (writableFolders != nullptr && writableFolders->contains(folder)) {
        return {};
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
        writableFolders->insert(std::move(folder));
    }
    return {};
}

}  // namespace bladeway::native
