#pragma once
// A file system for fault injection: the disk, except that operations on
// chosen paths fail as a full disk or a locked file would make them fail.
#include <set>
#include <string>

#include "core/platform/file_system.h"

namespace bladeway::testing {

class FaultFileSystem final : public FileSystem {
  public:
    // Replacing (or creating) a file of this path fails without touching it.
    void FailWrites(const std::string& path) { failingWrites_.insert(path); }
    // Reading this path fails although the file is there.
    void FailReads(const std::string& path) { failingReads_.insert(path); }

    int WriteAttempts() const { return writeAttempts_; }

    bool Exists(const std::string& path) const override { return Disk().Exists(path); }
    Expected<std::string> ReadWholeFile(const std::string& path,
                                        std::size_t limit = kDefaultReadLimit) const override {
        if (failingReads_.contains(path))
            return Failure{"cannot read '" + path + "': I/O error"};
        return Disk().ReadWholeFile(path, limit);
    }
    Outcome ReplaceFile(const std::string& path, std::string_view bytes) override {
        ++writeAttempts_;
        if (failingWrites_.contains(path))
            return Failure{"cannot write '" + path + "': No space left on device"};
        return Disk().ReplaceFile(path, bytes);
    }
    Outcome CreateEmptyIfMissing(const std::string& path) override {
        if (failingWrites_.contains(path))
            return Failure{"cannot create '" + path + "': No space left on device"};
        return Disk().CreateEmptyIfMissing(path);
    }

  private:
    std::set<std::string> failingWrites_, failingReads_;
    int writeAttempts_ = 0;
};

}  // namespace bladeway::testing
