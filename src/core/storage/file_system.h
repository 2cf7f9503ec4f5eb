#pragma once

// The few file operations the system needs, behind one interface: the disk
// in the program, other implementations in tests, fault injection and dry
// runs. Every write replaces its file whole and atomically.

#include <chrono>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "core/os/native_files.h"
#include "core/os/paths.h"
#include "core/text/expected.h"

namespace bladeway {

using native::StagedFile;

// Files larger than this are refused by reads that give no bound of their own.
inline constexpr std::size_t kDefaultReadLimit = std::size_t{256} << 20;

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

    // The four steps of a batch of replacements, so that many files share one
    // flush (BatchWriter puts them in order): stage each file beside its
    // target, flush the staged files, move each into place, flush each folder
    // that received one. A file system without them replaces the file at
    // Stage, leaving nothing for the other steps to do.
    virtual Expected<StagedFile> Stage(const std::string& path, std::string_view bytes);
    virtual Outcome FlushStaged(std::span<const StagedFile> files);
    virtual Outcome MoveIntoPlace(const StagedFile& file);
    virtual Outcome FlushFolder(const std::string& folder);
    // Removes a staged file that will not be moved into place.
    virtual void Discard(const StagedFile& file);
    // Removes temporary files that earlier runs left in `folder` when they
    // were killed (older than kLeftOverAge); nothing where the file system
    // holds no such files or must not change the disk. Gives the number removed.
    virtual std::size_t RemoveLeftOverTemporaries(const std::string& folder);
};

// A staged file lives for one batch, seconds or, while a message waits for
// the user, longer; one older than this belongs to no run still going.
inline constexpr std::chrono::hours kLeftOverAge{24};

// The real file system. A single ReplaceFile goes through all four steps,
// so that the new file survives a power loss once it returns.
class DiskFileSystem final : public FileSystem {
  public:
    bool Exists(const std::string& path) const override;
    bool FolderExists(const std::string& path) const override;
    Expected<std::string> ReadWholeFile(const std::string& path,
                                        std::size_t limit = kDefaultReadLimit) const override;
    Outcome ReplaceFile(const std::string& path, std::string_view bytes) override;
    Outcome CreateEmptyIfMissing(const std::string& path) override;
    Expected<StagedFile> Stage(const std::string& path, std::string_view bytes) override;
    Outcome FlushStaged(std::span<const StagedFile> files) override;
    Outcome MoveIntoPlace(const StagedFile& file) override;
    Outcome FlushFolder(const std::string& folder) override;
    void Discard(const StagedFile& file) override;
    std::size_t RemoveLeftOverTemporaries(const std::string& folder) override;
};

// The process's one disk file system.
DiskFileSystem& Disk();

}  // namespace bladeway
