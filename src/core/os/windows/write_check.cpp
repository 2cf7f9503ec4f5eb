#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/os/native_files.h"
#include "core/os/windows/system_calls.h"

namespace bladeway::native {
namespace {

struct PathKind {
    bool exists = false;
    bool isFolder = false;
};

PathKind KindOf(const std::filesystem::path& path) {
    const FileStatus status = StatusOf(win32::Utf8FromPath(path));
    return {status.exists, status.isFolder};
}

}  // namespace

// Writing is granted through access lists that no cheap call tells; the real
// write reports a refusal.
Outcome CheckWritable(const std::string& path, std::string_view what) {
    const std::string action(what);
    // std::filesystem would read the name in the ANSI code page.
    if (!win32::WideFromUtf8(path)) {
        return NotUtf8(what, path);
    }
    const std::filesystem::path target = win32::PathFromUtf8(path);
    if (KindOf(target).isFolder) {
        return IsFolderFailure(action, path);
    }
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    if (const PathKind kind = KindOf(folder); !kind.isFolder) {
        // The C library's wording, as on other systems: no Windows error
        // stands behind this finding.
        return Failure{
            action + " " + Quoted(path) + ": " + std::strerror(kind.exists ? ENOTDIR : ENOENT),
            FailureKind::kNotFound};
    }
    return {};
}

}  // namespace bladeway::native
