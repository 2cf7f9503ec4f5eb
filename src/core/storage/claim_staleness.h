#pragma once
// Whether a writer's claim that a waiter finds has been left by its holder,
// so that the waiter may take it over. The claim names its holder
// (claim_record.h); the waiter watches it by its own steady clock and dates
// it by the share's clock, never by the holder's, since stations' clocks
// differ.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/os/process_identity.h"
#include "core/storage/claim_record.h"

namespace bladeway {

// How long a claim may go unrenewed before a waiter takes it over; its
// holder renews it every sixth of that while it writes.
inline constexpr std::chrono::seconds kDefaultStaleClaimLimit{30};
// No shorter: a holder needs time to renew on a slow share.
inline constexpr std::chrono::seconds kShortestStaleClaimLimit{2};

// Why a claim is taken over.
enum class StaleClaim : std::uint8_t {
    kNo,
    kHolderEnded,  // its holder ran on this computer and its process has ended
    kLockLetGo,    // its lock, seen held before, is free while the claim stays
    kNotRenewed,   // it has not been renewed for the limit
};

// What a waiter has seen of the claim there now.
struct ClaimWatch {
    // The claim: its token, or what stands for a record that cannot be read.
    std::string identity;
    // The record and its time written: changes with each renewal.
    std::string state;
    std::chrono::steady_clock::time_point since{};  // when this state was first seen
    // How old the state was then by the share's clock, when known.
    std::optional<std::chrono::nanoseconds> ageWhenSeen;
    bool lockSeenHeld = false;  // the claim's lock has been seen held since it was first seen
};

// How long the claim has gone unrenewed at `now`: its age by the share's
// clock when first seen, and what this waiter has watched since.
std::chrono::nanoseconds IdleTime(const ClaimWatch& watch,
                                  std::chrono::steady_clock::time_point now);

// Judges the claim of `holder` (nothing when its record cannot be read
// whole) that the waiter has watched as `watch`, its lock seen held now or
// not, against the waiter's own limit. A claim goes unrenewed for the
// longer of the two limits, the holder's and the waiter's, and the waiter
// must have watched it for half of that itself, so that a share that dates
// renewals late, or a client that shows an old date, never makes a living
// holder look gone.
StaleClaim JudgeClaim(const std::optional<ClaimHolder>& holder, const ClaimWatch& watch,
                      bool lockHeldNow, std::chrono::steady_clock::time_point now,
                      std::chrono::seconds limit, const native::ProcessIdentity& self,
                      const std::function<bool(std::uint64_t, std::uint64_t)>& processHasEnded);

}  // namespace bladeway
