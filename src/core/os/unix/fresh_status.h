#pragma once
// The status of an open file as its file system has it now, not as this
// computer's client remembers it: a FUSE client (sshfs, GVfs) or an NFS or
// SMB mount keeps a file's size and dates for a while, so a file another
// computer has just replaced would read short, as long as it was. Linux asks
// the server again when told to (statx with AT_STATX_FORCE_SYNC); a local
// file system has nothing to ask and answers at once.
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>

namespace bladeway::native {

struct FreshStatus {
    mode_t mode = 0;
    std::uint64_t size = 0;
    std::int64_t writtenNanoseconds = 0;  // since 1970, by the file system's clock
};

// False with errno set when the status cannot be had.
inline bool StatusNow(int fd, FreshStatus& status) {
#if defined(__linux__) && defined(STATX_BASIC_STATS)
    struct statx now {};
    if (::statx(fd, "", AT_EMPTY_PATH | AT_STATX_FORCE_SYNC,
                STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_MTIME, &now) == 0) {
        constexpr std::int64_t kNanoseconds = 1'000'000'000;
        status = {static_cast<mode_t>(now.stx_mode), now.stx_size,
                  now.stx_mtime.tv_sec * kNanoseconds + now.stx_mtime.tv_nsec};
        return true;
    }
    if (errno != ENOSYS && errno != EINVAL)
        return false;
#endif
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return false;
    status = {
        info.st_mode, static_cast<std::uint64_t>(info.st_size),
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
    return true;
}

}  // namespace bladeway::native
