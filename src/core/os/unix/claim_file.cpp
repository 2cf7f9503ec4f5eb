// The claim file on Linux and other POSIX systems.
#include "core/os/claim_file.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "core/os/native_files.h"
#include "core/os/paths.h"
#include "core/os/unix/fresh_status.h"
#include "core/os/unix/system_calls.h"
#include "core/os/whole_file_read.h"

namespace bladeway::native {
namespace {

// An exclusive creation of `path`, -1 with errno EEXIST when the file is
// there. SFTP (version 3) has no answer for "it exists", and sshfs turns the
// server's plain failure into EPERM: a refusal while the file is there
// counts as its being there; one while it is not (it may have gone just
// then) is tried again before it counts as a refusal.
int CreateExclusively(const std::string& path, int access, mode_t mode) {
    constexpr int kAttempts = 3;
    for (int attempt = 1;; ++attempt) {
        const int fd = ::open(path.c_str(), access | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || (errno != EPERM && errno != EACCES))
            return fd;
        const int refusal = errno;
        struct stat status {};
        if (::lstat(path.c_str(), &status) == 0) {
            errno = EEXIST;
            return -1;
        }
        if (attempt == kAttempts) {
            errno = refusal;
            return -1;
        }
    }
}

constexpr std::size_t kRecordLimit = 4096;

// 0 or the error of locking (or unlocking) the claim's byte. Open file
// description locks belong to the descriptor, so two holders in one process
// exclude each other too; where the system lacks them, the older ones.
int LockByte(int fd, short type) {
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = static_cast<off_t>(kClaimLockOffset);
    range.l_len = 1;
#if defined(F_OFD_SETLK)
    if (::fcntl(fd, F_OFD_SETLK, &range) == 0)
        return 0;
    if (errno != EINVAL)
        return errno;
#endif
    return ::fcntl(fd, F_SETLK, &range) == 0 ? 0 : errno;
}

bool IsHeldByAnother(int error) {
    return error == EAGAIN || error == EACCES;
}

// The exclusive lock of a file this process holds. A waiter looking at the
// file takes a shared lock for a moment, so a refusal is tried again for a
// little while. A file system without locks (or one that refuses them) is
// held by the file alone.
bool LockForHolding(int fd) {
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const int error = LockByte(fd, F_WRLCK);
        if (!IsHeldByAnother(error))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

bool WriteAt(int fd, std::string_view bytes) {
    off_t at = 0;
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), at);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        at += written;
    }
    return true;
}

// A name of `folder` no file has: ".share-clock.XXXXXX" and the temporary
// suffix, which no program or template uses.
std::string UnusedName(const std::string& folder) {
    thread_local std::mt19937_64 random{std::random_device{}()};
    constexpr std::string_view kLetters = kTemporaryLettersBothCases;
    std::string name = ".share-clock.";
    std::uint64_t bits = random();
    for (std::size_t at = 0; at < kTemporaryRandomLength; ++at, bits /= kLetters.size())
        name += kLetters[bits % kLetters.size()];
    return JoinPathOnce(folder, name + std::string(kTemporarySuffix));
}

}  // namespace

Outcome HeldClaimFile::Rewrite(std::string_view record) const {
    if (!Held())
        return {};
    if (!WriteAt(static_cast<int>(handle_), record))
        return SystemFailure("cannot renew the claim", path_, errno);
    return {};
}

Expected<std::string> HeldClaimFile::ReadRecord(std::size_t size) const {
    std::string record(size, '\0');
    const ssize_t got = ::pread(static_cast<int>(handle_), record.data(), size, 0);
    if (got < 0)
        return SystemFailure("cannot read the claim", path_, errno);
    record.resize(static_cast<std::size_t>(got));
    return record;
}

void HeldClaimFile::RemoveAndClose() {
    if (Held())
        ::unlink(path_.c_str());
    Close();
}

void HeldClaimFile::Close() {
    if (Held()) {
        ::close(static_cast<int>(handle_));  // closing the descriptor releases its lock
        handle_ = kNone;
    }
}

Expected<HeldClaimFile> CreateClaimFile(const std::string& path, std::string_view record) {
    FileDescriptor file(CreateExclusively(path, O_RDWR, 0666));
    if (file.get() < 0) {
        if (errno == EEXIST)
            return HeldClaimFile{};
        return SystemFailure("cannot create the claim", path, errno);
    }
    // Whoever writes the folder may take over a claim its holder left.
    (void)::fchmod(file.get(), 0666);
    if (!WriteAt(file.get(), record)) {
        const int error = errno;
        ::unlink(path.c_str());
        return SystemFailure("cannot write the claim", path, error);
    }
    LockForHolding(file.get());
    return HeldClaimFile{file.Release(), path};
}

Expected<HeldClaimFile> TakeOverClaimFile(const std::string& path, std::string_view record) {
    FileDescriptor file(::open(path.c_str(), O_RDWR | O_CLOEXEC));
    if (file.get() < 0) {
        if (errno == ENOENT)
            return HeldClaimFile{};
        return SystemFailure("cannot take over the claim", path, errno);
    }
    if (!LockForHolding(file.get()))
        return HeldClaimFile{};
    if (!WriteAt(file.get(), record) ||
        ::ftruncate(file.get(), static_cast<off_t>(record.size())) != 0)
        return SystemFailure("cannot write the claim", path, errno);
    return HeldClaimFile{file.Release(), path};
}

Expected<ClaimFileSight> LookAtClaimFile(const std::string& path) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        if (errno == ENOENT)
            return ClaimFileSight{};
        return SystemFailure("cannot read the claim", path, errno);
    }
    FreshStatus status;
    if (!StatusNow(file.get(), status))
        return SystemFailure("cannot read the claim", path, errno);
    if (!S_ISREG(status.mode))
        return Failure{"cannot read the claim " + Quoted(path) + ": it is not a file"};
    ClaimFileSight sight;
    sight.exists = true;
    sight.written = ShareTime(status.writtenNanoseconds);
    const auto readSome = [&file](char* buffer, std::size_t count) -> std::optional<std::size_t> {
        const ssize_t got = ::read(file.get(), buffer, count);
        return got >= 0 ? std::optional<std::size_t>(got) : std::nullopt;
    };
    auto record =
        ReadToEnd(path, std::min<std::uint64_t>(status.size, kRecordLimit), kRecordLimit, readSome,
                  [&path] { return SystemFailure("cannot read", path, errno); });
    // A record that grew past any claim's size is no claim of this program's;
    // what was read of it stands for it.
    if (record)
        sight.record = std::move(record.value());
    const int error = LockByte(file.get(), F_RDLCK);
    sight.lockHeld = IsHeldByAnother(error);
    return sight;  // closing the descriptor lets the shared lock go
}

Expected<ShareTime> ShareTimeNow(const std::string& folder) {
    constexpr int kAttempts = 20;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string path = UnusedName(folder);
        FileDescriptor file(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (file.get() < 0) {
            if (errno == EEXIST)
                continue;
            return SystemFailure("cannot read the time of the folder", folder, errno);
        }
        FreshStatus status;
        const bool known = StatusNow(file.get(), status);
        const int error = errno;
        ::unlink(path.c_str());
        if (!known)
            return SystemFailure("cannot read the time of the folder", folder, error);
        return ShareTime(status.writtenNanoseconds);
    }
    return SystemFailure("cannot read the time of the folder", folder, EEXIST);
}

Expected<bool> CreateFileIfAbsent(const std::string& path) {
    const int fd = CreateExclusively(path, O_WRONLY, 0666);
    if (fd < 0) {
        if (errno == EEXIST)
            return false;
        return SystemFailure("cannot create", path, errno);
    }
    (void)::fchmod(fd, 0666);
    ::close(fd);
    return true;
}

}  // namespace bladeway::native
