#pragma once
// The disk, except that only the folders listed exist; counts the questions
// about folders.
#include <set>
#include <string>

#include "core/storage/file_system.h"

namespace bladeway::testing {

class ListedFolders final : public FileSystem {
  public:
    std::set<std::string> folders;
    mutable int folderQuestions = 0;

    bool FolderExists(const std::string& path) const override {
        ++folderQuestions;
        return folders.contains(path);
    }
    bool Exists(const std::string& path) const override { return Disk().Exists(path); }
    Expected<std::string> ReadWholeFile(const std::string& path,
                                        std::size_t limit = kDefaultReadLimit) const override {
        return Disk().ReadWholeFile(path, limit);
    }
    Outcome ReplaceFile(const std::string& path, std::string_view bytes) override {
        return Disk().ReplaceFile(path, bytes);
    }
    StagingSteps* Staging() override { return nullptr; }  // replaces at once
    Expected<WriterLock> LockForWriting(const std::string& path, const LockWait& wait) override {
        return Disk().LockForWriting(path, wait);
    }
    Outcome CreateEmptyIfMissing(const std::string& path) override {
        return Disk().CreateEmptyIfMissing(path);
    }
};

}  // namespace bladeway::testing
