#pragma once

// The system's side of a writer's claim (storage/writer_claim.h): a small
// file made by exclusive creation beside a shared file, which every file
// system a shop may share a folder through honours (local disks, SMB, NFS,
// SFTP and FUSE clients alike), held open while its holder writes, with an
// exclusive byte-range lock on one byte far past its record, so that where a
// share passes such locks on, a waiter sees its holder alive. Implemented
// once per system (unix/claim_file.cpp, windows/claim_file.cpp); both read
// and write the same bytes and lock the same byte, so that a Linux and a
// Windows station exclude each other.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/text/expected.h"

namespace bladeway::native {

// A moment by the share's own clock: the time its file system gives a file it
// writes, as nanoseconds since 1970-01-01 UTC. Stations' own clocks differ;
// the share's is the one all of them see.
using ShareTime = std::chrono::nanoseconds;

// The byte whose lock marks a holder alive: past any record, and within
// what every share's locks reach (32-bit offsets included).
inline constexpr std::uint64_t kClaimLockOffset = std::uint64_t{1} << 30;

// A claim file this process holds: open, its lock taken where the system
// passes one. A default one holds nothing.
class HeldClaimFile {
  public:
    HeldClaimFile() = default;
    HeldClaimFile(std::intptr_t handle, std::string path)
        : handle_(handle), path_(std::move(path)) {}
    HeldClaimFile(HeldClaimFile&& other) noexcept;
    HeldClaimFile& operator=(HeldClaimFile&& other) noexcept;
    HeldClaimFile(const HeldClaimFile&) = delete;
    HeldClaimFile& operator=(const HeldClaimFile&) = delete;
    // Closes without removing: what a crash would leave.
    ~HeldClaimFile() { Close(); }

    bool Held() const { return handle_ != kNone; }
    const std::string& Path() const { return path_; }

    // Writes `record` over the file's first bytes, in one write: a record of
    // the same length as before, so that a reader never sees it shorter.
    Outcome Rewrite(std::string_view record) const;
    // The file's first `size` bytes as they are now, read through the handle
    // held: the same file whatever became of its name.
    Expected<std::string> ReadRecord(std::size_t size) const;
    // Removes the file while it is still open and locked, then closes it: a
    // waiter never finds the file there with its lock let go.
    void RemoveAndClose();
    void Close();

  private:
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t handle_ = kNone;  // the file's descriptor or handle
    std::string path_;
};

// Creates the claim file at `path` only if nothing is there, writes `record`
// and takes the lock. One that holds nothing when a file is there already
// (or, on Windows, one just removed is still going); a failure when it cannot
// be made at all (a read-only share, a missing folder).
Expected<HeldClaimFile> CreateClaimFile(const std::string& path, std::string_view record);

// Opens the claim file that is there to take it over: takes the lock first,
// then writes `record` over the old one. One that holds nothing when the
// lock is held by another or the file is gone.
Expected<HeldClaimFile> TakeOverClaimFile(const std::string& path, std::string_view record);

// A claim file as it is now, read past the caches a file system client keeps
// of a file's size and dates.
struct ClaimFileSight {
    bool exists = false;
    std::string record;     // as read: empty or short while its maker is writing it
    ShareTime written{};    // last written, by the share's clock
    bool lockHeld = false;  // seen held by another; false also where locks are not passed on
};
Expected<ClaimFileSight> LookAtClaimFile(const std::string& path);

// The share's clock now: the time it gives a file made now in `folder`
// (under a temporary's name, removed at once).
Expected<ShareTime> ShareTimeNow(const std::string& folder);

// Creates an empty file at `path` only if nothing is there: true when it made
// it, false when something was there.
Expected<bool> CreateFileIfAbsent(const std::string& path);

}  // namespace bladeway::native
