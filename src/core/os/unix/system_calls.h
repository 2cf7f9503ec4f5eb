#pragma once
// What the files of this folder share around the system's calls: a file
// descriptor that closes itself, and the wording of a failed call
// ("cannot read 'PATH': No such file or directory").
#include <cstring>
#include <string>
#include <unistd.h>

#include "core/text/expected.h"

namespace bladeway::native {

inline std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

inline Failure SystemFailure(const std::string& what, const std::string& path, int error) {
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

}  // namespace bladeway::native
