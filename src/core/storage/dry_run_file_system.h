#pragma once
// A file system that writes nothing, for a dry run: reads go to the disk,
// writes are kept in memory, so that later reads of the same run see them,
// and listed. A write is checked as the disk would meet it (a missing or
// read-only folder, a path that is a folder), so a dry run reports the
// problems a real one would.
#include <map>
#include <string>
#include <vector>

#include "core/os/native_files.h"
#include "core/storage/file_system.h"

namespace bladeway {

class DryRunFileSystem final : public FileSystem {
  public:
    explicit DryRunFileSystem(const FileSystem& base = Disk()) : base_(base) {}

    bool Exists(const std::string& path) const override;
    // A dry run creates no folders: those of the disk.
    bool FolderExists(const std::string& path) const override;
    Expected<std::string> ReadWholeFile(const std::string& path,
                                        std::size_t limit = kDefaultReadLimit) const override;
    Outcome ReplaceFile(const std::string& path, std::string_view bytes) override;
    Outcome CreateEmptyIfMissing(const std::string& path) override;
    // Nothing to stage: a batch keeps each file at once, as ReplaceFile does.
    StagingSteps* Staging() override { return nullptr; }
    // It writes nothing that another writer could come between.
    Expected<WriterLock> LockForWriting(const std::string& /*path*/,
                                        const LockWait& /*wait*/) override {
        return WriterLock{};
    }

    // Every path that would have been written or created, in the order of its
    // first write.
    const std::vector<std::string>& WrittenPaths() const { return order_; }

  private:
    void Keep(const std::string& path, std::string_view bytes);

    const FileSystem& base_;
    std::map<std::string, std::string> files_;
    std::vector<std::string> order_;
    // Folders found writable: a dry run creates none, so none changes.
    native::WritableFolders writableFolders_;
};

}  // namespace bladeway
