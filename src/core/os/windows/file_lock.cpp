// The lock of a lock file on Windows.
#include "core/os/file_lock.h"

#include "core/os/windows/system_calls.h"
#include "core/os/windows/win32_api.h"
#include "core/os/windows/win32_text.h"

namespace bladeway::native {

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
        // Closing the handle releases its lock.
        ::CloseHandle(reinterpret_cast<HANDLE>(handle_));  // NOLINT(performance-no-int-to-ptr)
        handle_ = kNone;
    }
}

Expected<FileLock> TryLockExclusive(const std::string& lockPath) {
    const auto wide = win32::WideFromUtf8(lockPath);
    if (!wide) {
        return NotUtf8("cannot open the lock file", lockPath);
    }
    // Shared for everything: the lock is the byte range, not the opening.
    Handle file(::CreateFileW(wide->c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (!file.valid()) {
        return SystemFailure("cannot open the lock file", lockPath, ::GetLastError());
    }
    OVERLAPPED firstByte{};  // offset 0
    if (::LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                     &firstByte) == 0) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) {
            return FileLock{};
        }
        return SystemFailure("cannot lock", lockPath, error);
    }
    return FileLock{reinterpret_cast<std::intptr_t>(file.Release())};
}

}  // namespace bladeway::native
