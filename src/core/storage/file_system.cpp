#include "core/storage/file_system.h"

#include <algorithm>

#include "core/os/paths.h"

namespace bladeway {

bool DiskFileSystem::Exists(const std::string& path) const {
    const native::FileStatus status = native::StatusOf(path);
    return status.exists && !status.isFolder;
}

bool DiskFileSystem::FolderExists(const std::string& path) const {
    const native::FileStatus status = native::StatusOf(path);
    return status.exists && status.isFolder;
}

Expected<std::string> DiskFileSystem::ReadWholeFile(const std::string& path,
                                                    std::size_t limit) const {
    return native::ReadWholeFile(path, limit);
}

Outcome DiskFileSystem::ReplaceFile(const std::string& path, std::string_view bytes) {
    auto staged = native::Stage(path, bytes);
    if (!staged) {
        return staged.failure();
    }
    const StagedFile& file = staged.value();
    if (Outcome flushed = native::FlushStaged({&file, 1}); !flushed) {
        native::Discard(file);
        return flushed;
    }
    if (Outcome moved = native::MoveIntoPlace(file); !moved) {
        native::Discard(file);
        return moved;
    }
    return native::FlushFolder(FolderOf(path));
}

Outcome DiskFileSystem::CreateEmptyIfMissing(const std::string& path) {
    return native::CreateEmptyIfMissing(path);
}

Expected<WriterLock> DiskFileSystem::LockForWriting(const std::string& path, const LockWait& wait) {
    return WaitForWriterLock(path, wait);
}

Expected<StagedFile> DiskFileSystem::Stage(const std::string& path, std::string_view bytes) {
    return native::Stage(path, bytes);
}

Expected<std::string> DiskFileSystem::ReadStaged(const StagedFile& file, std::size_t limit) const {
    return native::ReadWholeFile(file.temporary, limit);
}

Outcome DiskFileSystem::FlushStaged(std::span<const StagedFile> files) {
    return native::FlushStaged(files);
}

Outcome DiskFileSystem::MoveIntoPlace(const StagedFile& file) {
    return native::MoveIntoPlace(file);
}

Outcome DiskFileSystem::FlushFolder(const std::string& folder) {
    return native::FlushFolder(folder);
}

void DiskFileSystem::Discard(const StagedFile& file) {
    native::Discard(file);
}

std::size_t DiskFileSystem::RemoveLeftOverTemporaries(const std::string& folder) {
    return native::RemoveLeftOverTemporaries(folder, kLeftOverAge);
}

// Each step is a call of the system's own, which keeps no state between calls.
bool DiskFileSystem::StagesOnAnyThread() const {
    return true;
}

DiskFileSystem& Disk() {
    static DiskFileSystem disk;
    return disk;
}

}  // namespace bladeway
