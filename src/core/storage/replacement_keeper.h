#pragma once
// Something that keeps what a batch of replacements is about to replace, so
// that it can be put back later: the run journal. BatchWriter has it keep a
// batch's old contents as part of the batch: what the keeper writes is staged
// and made durable by the batch's one flush, and put in place before any
// target is replaced.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/os/native_files.h"
#include "core/text/expected.h"

namespace bladeway {

struct PlannedReplacement {
    std::string path;
    std::string contentHash;  // ContentHash of the new content
    // Whether a file stood at the path when the new one was staged, and its
    // size: known to a batch, which saves asking again.
    bool existenceKnown = false;
    std::optional<std::uint64_t> existingSize = {};
    // What KeepEarly kept it as, when it did.
    std::optional<std::string> keptEarly = {};
};

class ReplacementKeeper {
  public:
    virtual ~ReplacementKeeper() = default;

    // Keeps what stands at each path now (or that nothing does). The files
    // it writes to say so are staged and returned, to go into the batch's
    // flush. A failure keeps nothing.
    virtual Expected<std::vector<native::StagedFile>> PrepareKeeping(
        std::span<const PlannedReplacement> files) = 0;
    // After that flush: what was kept is in place, durably. No target may be
    // replaced before it returns; a failure keeps nothing.
    virtual Outcome CompleteKeeping() = 0;
    // The batch is given up between the two: what it kept goes.
    virtual void AbandonKeeping() = 0;

    // The three steps for files replaced one at a time, with a flush of their own.
    Outcome KeepNow(std::span<const PlannedReplacement> files);

    // Keeps what stands at `path` now, ahead of its batch, where that costs
    // no copy (a second name), so that the batch's end has less to do. On
    // any thread, once a file replacing it is staged. The name it was kept
    // as, for PrepareKeeping (which removes what it does not use), or
    // nothing: PrepareKeeping then keeps it.
    virtual std::optional<std::string> KeepEarly(const std::string& /*path*/) {
        return std::nullopt;
    }
};

}  // namespace bladeway
