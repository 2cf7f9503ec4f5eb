#pragma once
// What the files of this folder share around the system's calls: a handle
// that closes itself, and the wording of a failed call, in the system's own
// words after the name ("cannot open 'C:\cnc\P1': Access is denied.").
#include <string>
#include <string_view>

#include "core/os/windows/win32_api.h"
#include "core/os/windows/win32_text.h"
#include "core/text/expected.h"

namespace bladeway::native {

inline std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

inline Failure SystemFailure(std::string_view what, const std::string& path, DWORD error) {
    return Failure{std::string(what) + " " + Quoted(path) + ": " + win32::ErrorText(error)};
}

inline Failure NotUtf8(std::string_view what, const std::string& path) {
    return Failure{std::string(what) + " " + Quoted(path) + ": the name is not valid UTF-8"};
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

  private:
    HANDLE handle_;
};

}  // namespace bladeway::native
