#pragma once
// A file system that remembers what it read for the length of one
// processing run, so that a template used by thousands of keys is read from
// the disk once. Writing or creating a file through it forgets that file;
// failed reads and missing files are never remembered, so they are tried
// again each time. Changes made to a file by others during the run are not
// seen until the next run. Its files may be staged on another thread, so
// what it remembers is kept under a lock.
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "core/storage/file_system.h"
#include "core/storage/staging_steps.h"

namespace bladeway {

class ReadCacheFileSystem final : public FileSystem, private StagingSteps {
  public:
    // Keeps files of at most `fileLimit` bytes (templates, a template
    // index), `byteLimit` bytes in all; other reads pass through, since
    // copying a large file out of the cache costs what reading it does.
    explicit ReadCacheFileSystem(FileSystem& fileSystem,
                                 std::size_t byteLimit = std::size_t{64} << 20,
                                 std::size_t fileLimit = std::size_t{1} << 20);

    bool Exists(const std::string& path) const override;
    bool FolderExists(const std::string& path) const override;
    Expected<std::string> ReadWholeFile(const std::string& path,
                                        std::size_t limit = kDefaultReadLimit) const override;
    Outcome ReplaceFile(const std::string& path, std::string_view bytes) override;
    Outcome CreateEmptyIfMissing(const std::string& path) override;
    // Its own steps, which forget what they replace, where the file system
    // below has steps to pass them on to.
    StagingSteps* Staging() override { return staging_ != nullptr ? this : nullptr; }
    Expected<WriterLock> LockForWriting(const std::string& path, const LockWait& wait) override {
        return fileSystem_.LockForWriting(path, wait);
    }
    // Forgets what it read of `path`, so that the next read asks the file
    // system below: for a file that others may have changed meanwhile.
    void Forget(const std::string& path);

  private:
    // Reached only through Staging(), so only where the file system below has them.
    Expected<StagedFile> Stage(const std::string& path, std::string_view bytes) override;
    Expected<std::string> ReadStaged(const StagedFile& file, std::size_t limit) const override;
    Outcome FlushStaged(std::span<const StagedFile> files) override;
    Outcome MoveIntoPlace(const StagedFile& file) override;
    Outcome FlushFolder(const std::string& folder) override;
    void Discard(const StagedFile& file) override;
    std::size_t RemoveLeftOverTemporaries(const std::string& folder) override;
    bool StagesOnAnyThread() const override { return staging_->StagesOnAnyThread(); }

    FileSystem& fileSystem_;
    StagingSteps* staging_;  // the file system's, if it has them
    std::size_t byteLimit_;
    std::size_t fileLimit_;
    mutable std::mutex mutex_;  // over what it remembers
    mutable std::size_t cachedBytes_ = 0;
    mutable std::unordered_set<std::string> existing_;  // only files found to exist
    mutable std::unordered_map<std::string, std::string> contents_;
};

}  // namespace bladeway
