// The disk file system on Windows, built from the native file calls: each
// replacement is staged beside its target, flushed, moved into place and its
// folder flushed.

#include <array>

#include "core/platform/file_system.h"
#include "core/platform/native_files.h"

namespace bladeway {
namespace {

// The folder that holds `path`, as the native calls take it: "C:\" for a file
// at a drive's root, "." for a bare name.
std::string FolderOf(const std::string& path) {
    const auto last = path.find_last_of("\\/");
    if (last == std::string::npos) {
        const auto colon = path.find(':');
        return colon == std::string::npos ? std::string(".") : path.substr(0, colon + 1);
    }
    const bool atRoot = last == 0 || (last == 2 && path[1] == ':');
    return path.substr(0, atRoot ? last + 1 : last);
}

}  // namespace

bool DiskFileSystem::Exists(const std::string& path) const {
    const native::FileStatus status = native::StatusOf(path);
    return status.exists && !status.isFolder;
}

Expected<std::string> DiskFileSystem::ReadWholeFile(const std::string& path,
                                                    std::size_t limit) const {
    return native::ReadWholeFile(path, limit);
}

Outcome DiskFileSystem::ReplaceFile(const std::string& path, std::string_view bytes) {
    Expected<native::StagedFile> staged = native::Stage(path, bytes);
    if (!staged) {
        return Failure{staged.error()};
    }
    const std::array<native::StagedFile, 1> batch{staged.value()};
    if (Outcome flushed = native::FlushStaged(batch); !flushed) {
        native::Discard(staged.value());
        return flushed;
    }
    if (Outcome moved = native::MoveIntoPlace(staged.value()); !moved) {
        native::Discard(staged.value());
        return moved;
    }
    return native::FlushFolder(FolderOf(path));
}

Outcome DiskFileSystem::CreateEmptyIfMissing(const std::string& path) {
    return native::CreateEmptyIfMissing(path);
}

DiskFileSystem& Disk() {
    static DiskFileSystem disk;
    return disk;
}

int Exist(const std::string& path) {
    return Disk().Exists(path) ? 1 : 0;
}

}  // namespace bladeway
