#pragma once

// An exclusive lock that other programs respect, for one writer of a shared
// file at a time: a lock on the first byte of a lock file, taken the same way
// on every system (a byte-range lock: open file description locks on Linux,
// LockFileEx on Windows), so that programs on both systems writing one network
// folder exclude each other where the file system passes locks on, as SMB
// does. The system releases the lock when its holder closes it or the process
// ends, however it ends, so a crash or a kill leaves no lock behind.
// Implemented once per system (unix/file_lock.cpp, windows/file_lock.cpp).

#include <cstdint>
#include <string>

#include "core/text/expected.h"

namespace bladeway::native {

// A held lock, released when the object goes; a default one holds nothing.
class FileLock {
  public:
    FileLock() = default;
    explicit FileLock(std::intptr_t handle) : handle_(handle) {}
    FileLock(FileLock&& other) noexcept : handle_(other.handle_) { other.handle_ = kNone; }
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock() { Release(); }

    bool Held() const { return handle_ != kNone; }
    void Release();

  private:
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t handle_ = kNone;  // the lock file's descriptor or handle
};

// Tries once, without waiting, to lock the lock file at `lockPath`, which is
// created empty (and hidden on Windows) when missing. A held lock when taken;
// one that holds nothing when another holder has it, in this process or
// another; a failure when the lock file cannot be opened or locked.
Expected<FileLock> TryLockExclusive(const std::string& lockPath);

}  // namespace bladeway::native
