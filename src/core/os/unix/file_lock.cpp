// The lock of a lock file on Linux and other POSIX systems.
#include "core/os/file_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/os/unix/system_calls.h"

namespace bladeway::native {
namespace {

// Open file description locks belong to the descriptor, not the process, so
// two holders in one process exclude each other too; where the system lacks
// them, the older per-process locks.
bool LockFirstByte(int fd) {
    struct flock range {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    range.l_start = 0;
    range.l_len = 1;
#if defined(F_OFD_SETLK)
    if (::fcntl(fd, F_OFD_SETLK, &range) == 0) {
        return true;
    }
    if (errno != EINVAL) {
        return false;
    }
#endif
    return ::fcntl(fd, F_SETLK, &range) == 0;
}

}  // namespace

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Release();
        handle_ = other.handle_;
        other.handle_ = kNone;
    }
    return *this;
}

void FileLock::Release() {
    if (Held()) {
        ::close(static_cast<int>(handle_));  // closing the descriptor releases its lock
        handle_ = kNone;
    }
}

Expected<FileLock> TryLockExclusive(const std::string& lockPath) {
    int fd = ::open(lockPath.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            // Every user who writes the folder must be able to lock it,
            // whatever this user's creation mask.
            (void)::fchmod(fd, 0666);
        } else if (errno == EEXIST) {
            fd = ::open(lockPath.c_str(), O_RDWR | O_CLOEXEC);
        }
    }
    if (fd < 0) {
        return SystemFailure("cannot open the lock file", lockPath, errno);
    }
    FileDescriptor file(fd);
    if (!LockFirstByte(file.get())) {
        if (errno == EAGAIN || errno == EACCES) {
            return FileLock{};
        }
        return SystemFailure("cannot lock", lockPath, errno);
    }
    return FileLock{file.Release()};
}

}  // namespace bladeway::native
