#include "core/platform/file_system.h"

#include <algorithm>

#include "core/platform/paths.h"

namespace bladeway {

Expected<StagedFile> FileSystem::Stage(const std::string& path, std::string_view bytes) {
    if (Outcome replaced = ReplaceFile(path, bytes); !replaced) {
        return Failure{replaced.error()};
    }
    return StagedFile{path, {}};  // already in place
}

Outcome FileSystem::FlushStaged(std::span<const StagedFile> /*files*/) {
    return {};
}

Outcome FileSystem::MoveIntoPlace(const StagedFile& /*file*/) {
    return {};
}

Outcome FileSystem::FlushFolder(const std::string& /*folder*/) {
    return {};
}

void FileSystem::Discard(const StagedFile& /*file*/) {}

std::size_t FileSystem::RemoveLeftOverTemporaries(const std::string& /*folder*/) {
    return 0;
}

// The same on every platform, so here rather than once per system.
bool native::IsTemporaryName(std::string_view fileName) {
    constexpr std::size_t kRandomLength = 6;
    if (!fileName.starts_with('.') || !fileName.ends_with(kTemporarySuffix)) {
        return false;
    }
    fileName.remove_suffix(kTemporarySuffix.size());
    if (fileName.ends_with(".old")) {
        fileName.remove_suffix(4);
    }
    // "." NAME "." XXXXXX, with a name of at least one character.
    if (fileName.size() < 1 + 1 + 1 + kRandomLength ||
        fileName[fileName.size() - kRandomLength - 1] != '.') {
        return false;
    }
    const std::string_view random = fileName.substr(fileName.size() - kRandomLength);
    return std::all_of(random.begin(), random.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
}

std::string FolderOf(const std::string& path) {
    // By the separators alone: std::filesystem would take the bytes for the
    // ANSI code page on Windows, where the program's names are UTF-8.
    const auto isSeparator = [](char c) { return c == kPathSeparator || c == '/'; };
    std::size_t nameAt = path.size();
    while (nameAt > 0 && !isSeparator(path[nameAt - 1])) {
        --nameAt;
    }
    if (nameAt == 0) {
        return ".";
    }
    std::size_t folderEnd = nameAt;
    while (folderEnd > 0 && isSeparator(path[folderEnd - 1])) {
        --folderEnd;
    }
    const bool isDrive = kPathSeparator == '\\' && folderEnd == 2 && path[1] == ':';
    if (folderEnd == 0 || isDrive) {
        return path.substr(0, folderEnd + 1);  // the root keeps its separator
    }
    return path.substr(0, folderEnd);
}

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
        return Failure{staged.error()};
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

Expected<StagedFile> DiskFileSystem::Stage(const std::string& path, std::string_view bytes) {
    return native::Stage(path, bytes);
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

DiskFileSystem& Disk() {
    static DiskFileSystem disk;
    return disk;
}

}  // namespace bladeway
