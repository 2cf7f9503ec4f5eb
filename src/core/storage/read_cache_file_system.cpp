#include "core/storage/read_cache_file_system.h"

#include "core/os/paths.h"

namespace bladeway {

ReadCacheFileSystem::ReadCacheFileSystem(FileSystem& fileSystem, std::size_t byteLimit,
                                         std::size_t fileLimit)
    : fileSystem_(fileSystem),
      staging_(fileSystem.Staging()),
      byteLimit_(byteLimit),
      fileLimit_(fileLimit) {}

bool ReadCacheFileSystem::Exists(const std::string& path) const {
    std::string key = SameFileKey(path);
    {
        const std::lock_guard lock(mutex_);
        if (existing_.contains(key)) {
            return true;
        }
    }
    const bool exists = fileSystem_.Exists(path);
    if (exists) {
        const std::lock_guard lock(mutex_);
        existing_.insert(std::move(key));
    }
    return exists;
}

// Only files are remembered; a folder is asked about each time.
bool ReadCacheFileSystem::FolderExists(const std::string& path) const {
    return fileSystem_.FolderExists(path);
}

Expected<std::string> ReadCacheFileSystem::ReadWholeFile(const std::string& path,
                                                         std::size_t limit) const {
    std::string key = SameFileKey(path);
    {
        const std::lock_guard lock(mutex_);
        if (const auto cached = contents_.find(key);
            cached != contents_.end() && cached->second.size() <= limit) {
            return cached->second;
        }
    }
    // Not remembered, or too large for this read: then the refusal is worded as usual.
    auto content = fileSystem_.ReadWholeFile(path, limit);
    const std::lock_guard lock(mutex_);
    if (content && content.value().size() <= fileLimit_ &&
        cachedBytes_ + content.value().size() <= byteLimit_ && !contents_.contains(key)) {
        cachedBytes_ += content.value().size();
        contents_.emplace(std::move(key), content.value());
    }
    return content;
}

Outcome ReadCacheFileSystem::ReplaceFile(const std::string& path, std::string_view bytes) {
    Forget(path);
    return fileSystem_.ReplaceFile(path, bytes);
}

Outcome ReadCacheFileSystem::CreateEmptyIfMissing(const std::string& path) {
    Forget(path);
    return fileSystem_.CreateEmptyIfMissing(path);
}

Expected<StagedFile> ReadCacheFileSystem::Stage(const std::string& path, std::string_view bytes) {
    Forget(path);
    return staging_->Stage(path, bytes);
}

// Not cached: the temporary is gone once its batch is committed.
Expected<std::string> ReadCacheFileSystem::ReadStaged(const StagedFile& file,
                                                      std::size_t limit) const {
    return staging_->ReadStaged(file, limit);
}

Outcome ReadCacheFileSystem::FlushStaged(std::span<const StagedFile> files) {
    return staging_->FlushStaged(files);
}

Outcome ReadCacheFileSystem::MoveIntoPlace(const StagedFile& file) {
    Forget(file.target);
    return staging_->MoveIntoPlace(file);
}

Outcome ReadCacheFileSystem::FlushFolder(const std::string& folder) {
    return staging_->FlushFolder(folder);
}

void ReadCacheFileSystem::Discard(const StagedFile& file) {
    staging_->Discard(file);
}

std::size_t ReadCacheFileSystem::RemoveLeftOverTemporaries(const std::string& folder) {
    return staging_->RemoveLeftOverTemporaries(folder);
}

void ReadCacheFileSystem::Forget(const std::string& path) {
    const std::string key = SameFileKey(path);
    const std::lock_guard lock(mutex_);
    existing_.erase(key);
    if (const auto cached = contents_.find(key); cached != contents_.end()) {
        cachedBytes_ -= cached->second.size();
        contents_.erase(cached);
    }
}

}  // namespace bladeway
