#pragma once
// One writer of a shared file at a time: the read, change and replacement of
// a file that several programs update (an INDICE.Prg that stations and
// scripts write into one machine folder, through any share) happen under the
// file's writer claim: a hidden file beside it (".INDICE.Prg.bwclaim") made
// by exclusive creation, which every file system honours, naming its holder,
// renewed while it writes and removed when it is done, so that nothing of it
// stays once nobody writes. A writer that finds the claim taken waits, says
// for whom, takes over a claim whose holder is gone, and gives up at a limit
// or when stopped, never hanging.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/storage/claim_staleness.h"
#include "core/text/expected.h"

namespace bladeway {

inline constexpr std::string_view kClaimFileSuffix = ".bwclaim";
inline constexpr std::string_view kTakeoverFileSuffix = ".bwtakeover";
// The longest wait: another writer holds the claim for one read, change and
// replacement of one file, seconds at most even on a slow network share.
inline constexpr std::chrono::milliseconds kWriterLockLimit{60'000};

// A writer waits for the holder of the file's claim.
struct WriterWait {
    std::string path;    // the file to be written; empty once the wait ends
    std::string holder;  // who holds the claim (HolderText); empty while unknown
};

// A writer took over a claim whose holder was gone.
struct ClaimTakeover {
    std::string path;      // the file written
    std::string computer;  // the holder's; empty when its record could not be read
    std::uint64_t process = 0;
    std::chrono::seconds idle{0};  // how long the claim had gone unrenewed
    StaleClaim because = StaleClaim::kNotRenewed;
};

// "took over the claim of STATION-2, process 4711, idle for 41 s, to write
// '/srv/millrun/INDICE.Prg'", with "(its process has ended)" after the idle
// time when that was why.
std::string TakeoverText(const ClaimTakeover& takeover);

// How a writer waits for the claim.
struct LockWait {
    std::chrono::milliseconds limit = kWriterLockLimit;
    // How long a claim may go unrenewed before it is taken over.
    std::chrono::seconds staleAfter = kDefaultStaleClaimLimit;
    // Asked while waiting; true gives up at once. May be left empty.
    std::function<bool()> stopRequested;
    // Told when a wait begins (again when the holder becomes known) and,
    // with an empty path, when it ends. May be left empty.
    std::function<void(const WriterWait&)> waiting;
    // Told when the writer takes a claim over. May be left empty.
    std::function<void(const ClaimTakeover&)> tookOver;
};

// How a writer came by its claim.
struct LockHistory {
    std::chrono::milliseconds waited{0};  // 0: at once
    std::string waitedFor;                // the holder waited for, when known
    std::optional<ClaimTakeover> takeover;
};

// A held claim, released when the object goes; a default one holds nothing
// (a file system that no other program writes).
class WriterLock {
  public:
    WriterLock();
    WriterLock(WriterLock&& other) noexcept;
    WriterLock& operator=(WriterLock&& other) noexcept;
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;
    ~WriterLock();

    bool Held() const { return holding_ != nullptr; }
    const LockHistory& History() const { return history_; }

    // Fails when the claim is no longer this writer's: another program took
    // it over while this one did not renew it (a computer that slept, a share
    // that hung), so the file must not be replaced now. Asked just before
    // the replacement.
    Outcome Confirm() const;

    // Removes the claim if it is still this writer's, and lets it go.
    void Release();

  private:
    struct Holding;
    friend Expected<WriterLock> WaitForWriterLock(const std::string& path, const LockWait& wait);

    std::unique_ptr<Holding> holding_;
    LockHistory history_;
};

// "folder/.NAME.bwclaim" for "folder/NAME".
std::string ClaimFilePath(const std::string& path);

// "folder/.NAME.<16 hexadecimal digits>.bwtakeover": the mark, made by
// exclusive creation, that lets one waiter at a time take over the claim
// `claim` (its token) of "folder/NAME".
std::string TakeoverMarkPath(const std::string& path, std::string_view claim);

// Takes the claim of the file at `path`, waiting as `wait` says. The refusal
// names the file: "gave up waiting for another program writing 'PATH' after
// 60 s (bladeway on STATION-2, process 4711)", "stopped while waiting for
// ...", or why the claim cannot be made at all.
Expected<WriterLock> WaitForWriterLock(const std::string& path, const LockWait& wait);

}  // namespace bladeway
