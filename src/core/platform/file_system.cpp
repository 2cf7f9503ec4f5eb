#include "core/platform/file_system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "core/platform/large_memory.h"

namespace bladeway {

namespace {

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

Failure SystemFailure(const std::string& what, const std::string& path, int error) {
    return Failure{what + " " + Quoted(path) + ": " + std::strerror(error)};
}

// Closes the descriptor when it goes out of scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    // Closes now and reports the result, which matters after writing.
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

  private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

}  // namespace

bool DiskFileSystem::Exists(const std::string& path) const {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

Expected<std::string> DiskFileSystem::ReadWholeFile(const std::string& path,
                                                    std::size_t limit) const {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        return SystemFailure("cannot open", path, errno);
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        return SystemFailure("cannot read", path, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return Failure{"cannot read " + Quoted(path) + ": it is a folder"};
    }
    if (!S_ISREG(info.st_mode)) {
        return Failure{"cannot read " + Quoted(path) + ": it is not a regular file"};
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    if (size > limit) {
        return Failure{"refused " + Quoted(path) + ": " + std::to_string(size) +
                       " bytes is more than the limit of " + std::to_string(limit) + " bytes"};
    }
    std::string content;
    content.reserve(size);
    AdviseLargeBuffer(content.data(), size);
    content.resize(size);
    std::size_t filled = 0;
    while (true) {
        if (filled == content.size()) {
            // Full as the size said: one probe tells whether the file grew
            // meanwhile, without growing the buffer for nothing.
            char probe = 0;
            const ssize_t extra = ::read(file.get(), &probe, 1);
            if (extra < 0 && errno == EINTR) {
                continue;
            }
            if (extra < 0) {
                return SystemFailure("cannot read", path, errno);
            }
            if (extra == 0) {
                break;
            }
            if (content.size() >= limit) {
                return Failure{"refused " + Quoted(path) + ": it grew past the limit of " +
                               std::to_string(limit) + " bytes"};
            }
            content.resize(std::min(limit, std::max<std::size_t>(content.size() * 2, 4096)));
            content[filled++] = probe;
            continue;
        }
        const ssize_t got = ::read(file.get(), content.data() + filled, content.size() - filled);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return SystemFailure("cannot read", path, errno);
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    content.resize(filled);
    return content;
}

Outcome DiskFileSystem::ReplaceFile(const std::string& path, std::string_view bytes) {
    const std::filesystem::path target(path);
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        return Failure{"cannot write " + Quoted(path) + ": it is a folder"};
    }

    // The temporary file lives beside the target so that the rename is atomic.
    constexpr std::size_t kMaxNameInTemporary = 180;
    const std::string name = target.filename().string().substr(0, kMaxNameInTemporary);
    std::string temporary =
        (target.parent_path() / ("." + name + ".XXXXXX" + std::string(kTemporarySuffix))).string();
    FileDescriptor file(
        ::mkostemps(temporary.data(), static_cast<int>(kTemporarySuffix.size()), O_CLOEXEC));
    if (file.get() < 0) {
        return SystemFailure("cannot write", path, errno);
    }
    const mode_t mode = exists ? (existing.st_mode & 07777) : (0666 & ~CurrentUmask());
    const bool written =
        WriteAll(file.get(), bytes) && ::fchmod(file.get(), mode) == 0 && ::fsync(file.get()) == 0;
    const int writeError = errno;
    if (file.Close() != 0 || !written) {
        const int error = written ? errno : writeError;
        ::unlink(temporary.c_str());
        return SystemFailure("cannot write", path, error);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return SystemFailure("cannot replace", path, error);
    }
    return {};
}

Outcome DiskFileSystem::CreateEmptyIfMissing(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno != EEXIST) {
            return SystemFailure("cannot create", path, errno);
        }
        // Something is there already; only a file will do.
        struct stat existing {};
        if (::stat(path.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
            return Failure{"cannot create " + Quoted(path) + ": it is a folder"};
        }
        return {};
    }
    ::close(fd);
    return {};
}

DiskFileSystem& Disk() {
    static DiskFileSystem disk;
    return disk;
}

}  // namespace bladeway
