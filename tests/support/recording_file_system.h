#pragma once
// A file system that works on the disk and keeps a log of what was asked of
// it, to check the order of the run's steps.
#include <functional>
#include <string>
#include <vector>

#include "core/storage/file_system.h"

namespace bladeway::testing {

class RecordingFileSystem final : public FileSystem, public StagingSteps {
  public:
    // "exists <path>", "folder exists <path>", "read <path>", "write <path>",
    // "create <path>", and for batches "stage <path>", "flush <path>" (one
    // line per file of the flush), "move <path>", "flush folder <folder>",
    // "discard <path>".
    const std::vector<std::string>& Log() const { return log_; }

    bool Exists(const std::string& path) const override {
        log_.push_back("exists " + path);
        return Disk().Exists(path);
    }
    bool FolderExists(const std::string& path) const override {
        log_.push_back("folder exists " + path);
        return Disk().FolderExists(path);
    }
    Expected<std::string> ReadWholeFile(const std::string& path,
                                        std::size_t limit = kDefaultReadLimit) const override {
        log_.push_back("read " + path);
        return Disk().ReadWholeFile(path, limit);
    }
    Outcome ReplaceFile(const std::string& path, std::string_view bytes) override {
        log_.push_back("write " + path);
        if (onReplace)
            onReplace();
        return Disk().ReplaceFile(path, bytes);
    }
    Outcome CreateEmptyIfMissing(const std::string& path) override {
        log_.push_back("create " + path);
        return Disk().CreateEmptyIfMissing(path);
    }
    StagingSteps* Staging() override { return this; }
    Expected<WriterLock> LockForWriting(const std::string& path, const LockWait& wait) override {
        return Disk().LockForWriting(path, wait);
    }

    Expected<StagedFile> Stage(const std::string& path, std::string_view bytes) override {
        log_.push_back("stage " + path);
        if (onReplace)
            onReplace();
        return Disk().Stage(path, bytes);
    }
    Expected<std::string> ReadStaged(const StagedFile& file, std::size_t limit) const override {
        return Disk().ReadStaged(file, limit);
    }
    Outcome FlushStaged(std::span<const StagedFile> files) override {
        for (const StagedFile& file : files)
            log_.push_back("flush " + file.target);
        return Disk().FlushStaged(files);
    }
    Outcome MoveIntoPlace(const StagedFile& file) override {
        log_.push_back("move " + file.target);
        return Disk().MoveIntoPlace(file);
    }
    Outcome FlushFolder(const std::string& folder) override {
        log_.push_back("flush folder " + folder);
        return Disk().FlushFolder(folder);
    }
    void Discard(const StagedFile& file) override {
        log_.push_back("discard " + file.target);
        Disk().Discard(file);
    }
    // Leaves what killed runs left, and logs nothing: the order of the run's
    // own steps is what is checked.
    std::size_t RemoveLeftOverTemporaries(const std::string& /*folder*/) override { return 0; }
    // In the caller's order, so that what the test sees is the same each time.
    bool StagesOnAnyThread() const override { return false; }

    std::function<void()> onReplace;  // called before each replacement or staging, when set

  private:
    mutable std::vector<std::string> log_;
};

}  // namespace bladeway::testing
