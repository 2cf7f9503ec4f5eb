#pragma once

// The few file operations the system needs, behind one interface: the disk
// in the program, other implementations in tests, fault injection and dry
// runs. Every write replaces its file whole and atomically.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/platform/expected.h"

namespace bladeway {

// Files larger than this are refused by reads that give no bound of their own.
inline constexpr std::size_t kDefaultReadLimit = std::size_t{256} << 20;

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // True when `path` names an existing file (not a folder).
    virtual bool Exists(const std::string& path) const = 0;

    // The whole file in one read; refused when it is larger than `limit`.
    virtual Expected<std::string> ReadWholeFile(const std::string& path,
                                                std::size_t limit = kDefaultReadLimit) const = 0;

    // Replaces (or creates) the file with `bytes`: the old content or the new
    // one, never a mix and never a partial file, whatever happens meanwhile.
    virtual Outcome ReplaceFile(const std::string& path, std::string_view bytes) = 0;

    // Creates an empty file unless one exists; a folder of that name fails.
    virtual Outcome CreateEmptyIfMissing(const std::string& path) = 0;
};

// The real file system.
class DiskFileSystem final : public FileSystem {
  public:
    bool Exists(const std::string& path) const override;
    Expected<std::string> ReadWholeFile(const std::string& path,
                                        std::size_t limit = kDefaultReadLimit) const override;
    Outcome ReplaceFile(const std::string& path, std::string_view bytes) override;
    Outcome CreateEmptyIfMissing(const std::string& path) override;
};

// The process's one disk file system.
DiskFileSystem& Disk();

// The temporary file a replacement goes through is named ".NAME.XXXXXX" with
// this suffix: a leading dot and a suffix no program or template uses, so
// neither the machine's control software nor a later run takes it for data.
inline constexpr std::string_view kTemporarySuffix = ".bwtmp";

}  // namespace bladeway
