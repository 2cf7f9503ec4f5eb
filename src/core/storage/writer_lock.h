#pragma once
// One writer of a shared file at a time: the read, change and replacement of
// a file that several programs update (an INDICE.Prg that stations and
// scripts write into one machine folder) happen under an exclusive lock of
// its lock file, which lies beside it under a hidden name
// (".INDICE.Prg.bwlock"). The lock cannot live on the file itself, since a
// replacement puts a new file in its place; the lock file stays, empty, and
// is never read as data. A writer that finds the lock taken waits, says so,
// and gives up at a limit or when stopped, never hanging.
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "core/os/file_lock.h"
#include "core/text/expected.h"

namespace bladeway {

inline constexpr std::string_view kLockFileSuffix = ".bwlock";
// The longest wait: another writer holds the lock for one read, change and
// replacement of one file, seconds at most even on a slow network share.
inline constexpr std::chrono::milliseconds kWriterLockLimit{60'000};

// How a writer waits for the lock.
struct LockWait {
    std::chrono::milliseconds limit = kWriterLockLimit;
    // Asked while waiting; true gives up at once. May be left empty.
    std::function<bool()> stopRequested;
    // Told the file's path when a wait begins and an empty text when it ends.
    // May be left empty.
    std::function<void(std::string_view waitingFor)> waiting;
};

// "folder/.NAME.bwlock" for "folder/NAME".
std::string LockFilePath(const std::string& path);

// Takes the lock of the file at `path`, waiting as `wait` says. The refusal
// names the file: "gave up waiting for another program writing 'PATH' after
// 60 s", "stopped while waiting for ...", or why the lock file cannot be used.
Expected<native::FileLock> WaitForWriterLock(const std::string& path, const LockWait& wait);

}  // namespace bladeway
