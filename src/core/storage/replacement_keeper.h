#pragma once
// Something that keeps what a batch of replacements is about to replace, so
// that it can be put back later: the run journal. BatchWriter asks it before
// it moves any file of a batch into place.
#include <span>
#include <string>

#include "core/text/expected.h"

namespace bladeway {

struct PlannedReplacement {
    std::string path;
    std::string contentHash;  // ContentHash of the new content
};

class ReplacementKeeper {
  public:
    virtual ~ReplacementKeeper() = default;
    // Keeps what stands at each path now (or that nothing does), durably;
    // a failure keeps nothing, and then none of the files may be replaced.
    virtual Outcome KeepBeforeReplacing(std::span<const PlannedReplacement> files) = 0;
};

}  // namespace bladeway
