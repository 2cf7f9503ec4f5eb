#pragma once
// A file system for fault injection: the disk, except that operations on
// chosen paths fail as a full disk, a locked file or a failing disk would
// make them fail.
#include <set>
#include <string>

#include "core/storage/file_system.h"

namespace bladeway::testing {

class FaultFileSystem final : public FileSystem, public StagingSteps {
  public:
    // Replacing, staging or creating a file of this path fails without touching it.
    void FailWrites(const std::string& path) { failingWrites_.insert(path); }
    // Reading this path fails although the file is there.
    void FailReads(const std::string& path) { failingReads_.insert(path); }
    // Every flush of staged files fails, as on a disk that lost the writes.
    void FailFlushes() { failFlushes_ = true; }
    // Moving a staged file over this path fails.
    void FailMoves(const std::string& path) { failingMoves_.insert(path); }

    int WriteAttempts() const { return writeAttempts_; }

    bool Exists(const std::string& path) const override { return Disk().Exists(path); }
    bool FolderExists(const std::string& path) const override { return Disk().FolderExists(path); }
    Expected<std::string> ReadWholeFile(const std::string& path,
                                        std::size_t limit = kDefaultReadLimit) const override {
        if (failingReads_.contains(path))
            return Failure{"cannot read '" + path + "': I/O error", FailureKind::kIo};
        return Disk().ReadWholeFile(path, limit);
    }
    Outcome ReplaceFile(const std::string& path, std::string_view bytes) override {
        ++writeAttempts_;
        if (failingWrites_.contains(path))
            return Failure{"cannot write '" + path + "': No space left on device",
                           FailureKind::kIo};
        if (failFlushes_)
            return Failure{"cannot flush '" + path + "': Input/output error", FailureKind::kIo};
        return Disk().ReplaceFile(path, bytes);
    }
    Outcome CreateEmptyIfMissing(const std::string& path) override {
        if (failingWrites_.contains(path))
            return Failure{"cannot create '" + path + "': No space left on device",
                           FailureKind::kIo};
        return Disk().CreateEmptyIfMissing(path);
    }
    StagingSteps* Staging() override { return this; }
    Expected<WriterLock> LockForWriting(const std::string& path, const LockWait& wait) override {
        return Disk().LockForWriting(path, wait);
    }

    Expected<StagedFile> Stage(const std::string& path, std::string_view bytes) override {
        ++writeAttempts_;
        if (failingWrites_.contains(path))
            return Failure{"cannot write '" + path + "': No space left on device",
                           FailureKind::kIo};
        return Disk().Stage(path, bytes);
    }
    Expected<std::string> ReadStaged(const StagedFile& file, std::size_t limit) const override {
        return Disk().ReadStaged(file, limit);
    }
    Outcome FlushStaged(std::span<const StagedFile> files) override {
        if (failFlushes_ && !files.empty())
            return Failure{"cannot flush '" + files.front().target + "': Input/output error",
                           FailureKind::kIo};
        return Disk().FlushStaged(files);
    }
    Outcome MoveIntoPlace(const StagedFile& file) override {
        if (failingMoves_.contains(file.target))
            return Failure{"cannot replace '" + file.target + "': Permission denied",
                           FailureKind::kDenied};
        return Disk().MoveIntoPlace(file);
    }
    Outcome FlushFolder(const std::string& folder) override { return Disk().FlushFolder(folder); }
    void Discard(const StagedFile& file) override { Disk().Discard(file); }
    // Leaves what killed runs left: the faults here are of writes, not of the sweep.
    std::size_t RemoveLeftOverTemporaries(const std::string& /*folder*/) override { return 0; }
    // In the caller's order, so that what the test sees is the same each time.
    bool StagesOnAnyThread() const override { return false; }

  private:
    std::set<std::string> failingWrites_, failingReads_, failingMoves_;
    bool failFlushes_ = false;
    int writeAttempts_ = 0;
};

}  // namespace bladeway::testing
