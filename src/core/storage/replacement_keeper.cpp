#include "core/storage/replacement_keeper.h"

namespace bladeway {

Outcome ReplacementKeeper::KeepNow(std::span<const PlannedReplacement> files) {
    auto staged = PrepareKeeping(files);
    if (!staged)
        return staged.failure();
    if (Outcome flushed = native::FlushStaged(staged.value()); !flushed) {
        AbandonKeeping();
        return flushed;
    }
    return CompleteKeeping();
}

}  // namespace bladeway
