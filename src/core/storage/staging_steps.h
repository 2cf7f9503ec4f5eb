#pragma once

// The steps of a durable replacement, apart from the plain file operations
// of FileSystem: a batch of files goes through them so that the whole batch
// pays for one flush (BatchWriter puts them in order). A file system that
// stages files implements this interface whole, each step pure, so that a
// wrapper or a fake that leaves one out does not compile; FileSystem::Staging
// tells whether a file system has them.

#include <chrono>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "core/os/native_files.h"
#include "core/text/expected.h"

namespace bladeway {

using native::StagedFile;

// A staged file lives for one batch, seconds or, while a message waits for
// the user, longer; one older than this belongs to no run still going.
inline constexpr std::chrono::hours kLeftOverAge{24};

class StagingSteps {
  public:
    virtual ~StagingSteps() = default;

    // Stage each file beside its target, flush the staged files, move each
    // into place, flush each folder that received one.
    virtual Expected<StagedFile> Stage(const std::string& path, std::string_view bytes) = 0;
    // What a staged file holds, read back while it waits for its batch.
    virtual Expected<std::string> ReadStaged(const StagedFile& file, std::size_t limit) const = 0;
    virtual Outcome FlushStaged(std::span<const StagedFile> files) = 0;
    virtual Outcome MoveIntoPlace(const StagedFile& file) = 0;
    virtual Outcome FlushFolder(const std::string& folder) = 0;
    // Removes a staged file that will not be moved into place.
    virtual void Discard(const StagedFile& file) = 0;
    // Removes temporary files that earlier runs left in `folder` when they
    // were killed (older than kLeftOverAge); gives the number removed.
    virtual std::size_t RemoveLeftOverTemporaries(const std::string& folder) = 0;
    // True when Stage and RemoveLeftOverTemporaries may run on another
    // thread than the other steps and the file system's reads, so that a
    // batch is written while its next file is made.
    virtual bool StagesOnAnyThread() const = 0;
};

}  // namespace bladeway
