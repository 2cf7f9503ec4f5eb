#include "core/storage/writer_lock.h"

#include <algorithm>
#include <thread>

#include "core/os/file_failures.h"
#include "core/os/paths.h"

namespace bladeway {
namespace {

// Short pauses first, as most holders finish in milliseconds, then longer
// ones, so that a long wait costs little.
constexpr std::chrono::milliseconds kFirstPause{5};
constexpr std::chrono::milliseconds kLongestPause{200};

std::string Seconds(std::chrono::milliseconds time) {
    const auto tenths = (time.count() + 50) / 100;
    return std::to_string(tenths / 10) +
           (tenths % 10 != 0 ? "." + std::to_string(tenths % 10) : "") + " s";
}

}  // namespace

std::string LockFilePath(const std::string& path) {
    const std::string folder = FolderOfPath(path);
    return folder + "." + path.substr(folder.size()) + std::string(kLockFileSuffix);
}

Expected<native::FileLock> WaitForWriterLock(const std::string& path, const LockWait& wait) {
    const std::string lockPath = LockFilePath(path);
    const auto start = std::chrono::steady_clock::now();
    auto pause = kFirstPause;
    bool waiting = false;
    const auto endWait = [&] {
        if (waiting && wait.waiting)
            wait.waiting({});
    };
    while (true) {
        auto lock = native::TryLockExclusive(lockPath);
        if (!lock || lock.value().Held()) {
            endWait();
            return lock;
        }
        if (!waiting) {
            waiting = true;
            if (wait.waiting)
                wait.waiting(path);
        }
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        if (wait.stopRequested && wait.stopRequested()) {
            endWait();
            return Failure{"stopped while waiting for another program writing " +
                           native::Quoted(path)};
        }
        if (waited >= wait.limit) {
            endWait();
            return Failure{"gave up waiting for another program writing " + native::Quoted(path) +
                           " after " + Seconds(wait.limit)};
        }
        std::this_thread::sleep_for(std::min(pause, wait.limit - waited));
        pause = std::min(pause * 2, kLongestPause);
    }
}

}  // namespace bladeway
