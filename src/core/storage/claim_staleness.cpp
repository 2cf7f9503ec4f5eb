#include "core/storage/claim_staleness.h"

#include <algorithm>

namespace bladeway {

std::chrono::nanoseconds IdleTime(const ClaimWatch& watch,
                                  std::chrono::steady_clock::time_point now) {
    const auto watched = std::max(now - watch.since, std::chrono::steady_clock::duration::zero());
    const auto before = std::max(watch.ageWhenSeen.value_or(std::chrono::nanoseconds::zero()),
                                 std::chrono::nanoseconds::zero());
    return before + std::chrono::duration_cast<std::chrono::nanoseconds>(watched);
}

StaleClaim JudgeClaim(const std::optional<ClaimHolder>& holder, const ClaimWatch& watch,
                      bool lockHeldNow, std::chrono::steady_clock::time_point now,
                      std::chrono::seconds limit, const native::ProcessIdentity& self,
                      const std::function<bool(std::uint64_t, std::uint64_t)>& processHasEnded) {
    if (lockHeldNow)
        return StaleClaim::kNo;
    if (holder && !self.system.empty() && holder->system == self.system) {
        const bool otherBoot =
            !self.boot.empty() && !holder->boot.empty() && holder->boot != self.boot;
        if (otherBoot || processHasEnded(holder->process, holder->started))
            return StaleClaim::kHolderEnded;
    }
    // Free now, held before: the holder let its lock go without removing
    // the claim, which only its end does. Where the share passes no locks,
    // the lock is never seen held, and this says nothing.
    if (watch.lockSeenHeld)
        return StaleClaim::kLockLetGo;
    const std::chrono::seconds longest = std::max(limit, holder ? holder->staleAfter : limit);
    if (now - watch.since >= longest / 2 && IdleTime(watch, now) >= longest)
        return StaleClaim::kNotRenewed;
    return StaleClaim::kNo;
}

}  // namespace bladeway
