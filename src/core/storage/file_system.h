#pragma once

// The few file operations the system needs, behind one interface: the disk
// in the program, other implementations in tests, fault injection and dry
// runs. Every write replaces its file whole and atomically. The steps a batch
// of replacements goes through are a second interface (staging_steps.h),
// implemented only by file systems that stage files.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/os/paths.h"
#include "core/storage/staging_steps.h"
#include "core/storage/writer_lock.h"
#include "core/text/expected.h"

namespace bladeway {

// Files larger than this are refused by reads that give no bound of their own.
inline constexpr std::size_t kDefaultReadLimit = std::size_t{256} << 20;

// A failed read says by its kind (FailureKind) whether the file is missing,
// so a caller need not ask Exists again.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // True when `path` names an existing file (not a folder).
    virtual bool Exists(const std::string& path) const = 0;

    // True when `path` names an existing folder (not a file).
    virtual bool FolderExists(const std::string& path) const = 0;

    // The whole file in one read; refused when it is larger than `limit`.
    virtual Expected<std::string> ReadWholeFile(const std::string& path,
                                                std::size_t limit = kDefaultReadLimit) const = 0;

    // Replaces (or creates) the file with `bytes`: the old content or the new
    // one, never a mix and never a partial file, whatever happens meanwhile.
    virtual Outcome ReplaceFile(const std::string& path, std::string_view bytes) = 0;

    // Creates an empty file unless one exists; a folder of that name fails.
    virtual Outcome CreateEmptyIfMissing(const std::string& path) = 0;

    // The file system's own staging steps, for a batch of replacements that
    // shares one flush; nullptr for one that has none (in memory, a dry run),
    // whose batches then replace each file at once through ReplaceFile. Pure,
    // so that every file system says which it is: a wrapper that forgot to
    // pass the steps on would quietly lose them.
    virtual StagingSteps* Staging() = 0;

    // The writer lock of the file at `path` (writer_lock.h), held over a
    // read, change and replacement that no other writer may come between. A
    // file system that no other program writes (in memory, a dry run) gives
    // one that holds nothing.
    virtual Expected<WriterLock> LockForWriting(const std::string& path, const LockWait& wait) = 0;
};

// The real file system. A single ReplaceFile goes through all four staging
// steps, so that the new file survives a power loss once it returns.
class DiskFileSystem final : public FileSystem, public StagingSteps {
  public:
    bool Exists(const std::string& path) const override;
    bool FolderExists(const std::string& path) const override;
    Expected<std::string> ReadWholeFile(const std::string& path,
                                        std::size_t limit = kDefaultReadLimit) const override;
    Outcome ReplaceFile(const std::string& path, std::string_view bytes) override;
    Outcome CreateEmptyIfMissing(const std::string& path) override;
    StagingSteps* Staging() override { return this; }
    Expected<WriterLock> LockForWriting(const std::string& path, const LockWait& wait) override;

    Expected<StagedFile> Stage(const std::string& path, std::string_view bytes) override;
    Expected<std::string> ReadStaged(const StagedFile& file, std::size_t limit) const override;
    Outcome FlushStaged(std::span<const StagedFile> files) override;
    Outcome MoveIntoPlace(const StagedFile& file) override;
    Outcome FlushFolder(const std::string& folder) override;
    void Discard(const StagedFile& file) override;
    std::size_t RemoveLeftOverTemporaries(const std::string& folder) override;
    bool StagesOnAnyThread() const override;
};

// The process's one disk file system.
DiskFileSystem& Disk();

}  // namespace bladeway
