#pragma once
// What the files of this folder share around the system's calls: a file
// descriptor that closes itself, and the wording of a failed call
// ("cannot read 'PATH': No such file or directory").
#include <cerrno>
#include <cstring>
#include <string>
#include <unistd.h>

#include "core/os/file_failures.h"
#include "core/text/expected.h"

namespace bladeway::native {

// The kind of a failure that the system reports as `error` (an errno value).
inline FailureKind KindOfError(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
        case ENAMETOOLONG:  // no file can have such a name
        case ELOOP:         // links that lead nowhere
            return FailureKind::kNotFound;
        case EISDIR:
            return FailureKind::kIsFolder;
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY:
            return FailureKind::kDenied;
        case EIO:
        case ENOSPC:
        case EDQUOT:
            return FailureKind::kIo;
        default:
            return FailureKind::kOther;
    }
}

inline Failure SystemFailure(const std::string& what, const std::string& path, int error) {
    return Failure{what + " " + Quoted(path) + ": " + std::strerror(error), KindOfError(error)};
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
    // Gives the descriptor up to the caller, who closes it.
    [[nodiscard]] int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

}  // namespace bladeway::native
