#pragma once
// What the files of this folder share around the system's calls: a handle
// that closes itself, and the wording of a failed call, in the system's own
// words after the name ("cannot open 'C:\cnc\P1': Access is denied.").
#include <string>
#include <string_view>

#include "core/os/file_failures.h"
#include "core/os/windows/win32_api.h"
#include "core/os/windows/win32_text.h"
#include "core/text/expected.h"

namespace bladeway::native {

// The kind of a failure that the system reports as `error` (GetLastError).
inline FailureKind KindOfError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_INVALID_NAME:  // no file can have such a name
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
            return FailureKind::kNotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
            return FailureKind::kDenied;
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_CRC:
        case ERROR_GEN_FAILURE:
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return FailureKind::kIo;
        default:
            return FailureKind::kOther;
    }
}

inline Failure SystemFailure(std::string_view what, const std::string& path, DWORD error) {
    return Failure{std::string(what) + " " + Quoted(path) + ": " + win32::ErrorText(error),
                   KindOfError(error)};
}

// A name that is not UTF-8 has no wide form: no file can have it.
inline Failure NotUtf8(std::string_view what, const std::string& path) {
    return Failure{std::string(what) + " " + Quoted(path) + ": the name is not valid UTF-8",
                   FailureKind::kNotFound};
}

// Closes the handle when it goes out of scope.
class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (valid()) {
            ::CloseHandle(handle_);
        }
    }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    // Closes now and reports the result, which matters after writing.
    bool Close() {
        const bool closed = ::CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }
    // Gives the handle up to the caller, who closes it.
    [[nodiscard]] HANDLE Release() {
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }

  private:
    HANDLE handle_;
};

}  // namespace bladeway::native
