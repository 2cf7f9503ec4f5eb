#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "core/os/native_files.h"
#include "core/os/unix/system_calls.h"

namespace bladeway::native {
namespace {

struct PathKind {
    bool exists = false;
    bool isFolder = false;
};

PathKind KindOf(const std::filesystem::path& path) {
    std::error_code error;
    return {std::filesystem::exists(path, error), std::filesystem::is_directory(path, error)};
}

}  // namespace

Outcome CheckWritable(const std::string& path, std::string_view what) {
    const std::string action(what);
    const std::filesystem::path target(path);
    if (KindOf(target).isFolder) {
        return IsFolderFailure(action, path);
    }
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    if (const PathKind kind = KindOf(folder); !kind.isFolder) {
        return SystemFailure(action, path, kind.exists ? ENOTDIR : ENOENT);
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return SystemFailure(action, path, errno);
    }
    return {};
}

}  // namespace bladeway::native
