#pragma once
// What a writer's claim file holds: who holds the claim, for the people who
// wait for it and for the programs that judge whether its holder is gone.
// Lines of text of one fixed length, so that a renewal writes the same
// number of bytes over the old ones and a reader never sees the record
// shorter; the last line ("end") tells a whole record from one being
// written.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace bladeway {

inline constexpr std::size_t kClaimRecordSize = 512;

struct ClaimHolder {
    std::string token;     // drawn at random for each claim: what tells claims apart
    std::string computer;  // as its users know it
    std::string system;    // native::ProcessIdentity::system
    std::string boot;      // native::ProcessIdentity::boot
    std::uint64_t process = 0;
    std::uint64_t started = 0;  // native::ProcessIdentity::started
    std::string program;        // "bladeway-cli 2.2.0"
    std::string taken;          // when, by the holder's clock, for people only
    // The holder renews the claim well within this; a waiter that sees it
    // unrenewed for longer may take it over.
    std::chrono::seconds staleAfter{0};
    std::uint64_t renewal = 0;  // counts the renewals
};

// The record of `holder`: exactly kClaimRecordSize bytes, long names cut.
std::string ClaimRecordText(const ClaimHolder& holder);

// The holder a whole record names; nothing for one being written, cut short
// or not a claim of this program's.
std::optional<ClaimHolder> ParseClaimRecord(std::string_view record);

// "bladeway-cli 2.2.0 on STATION-2, process 4711"
std::string HolderText(const ClaimHolder& holder);

}  // namespace bladeway
