#pragma once
// Icons the windows show: the program's own (resource 1) and the system's
// warning sign, each at the size asked for, destroyed with their owner.
#include <utility>

#include "win32/kit/windows_api.h"

namespace bladeway::win32 {

// The program's icon in its resources.
inline constexpr int kProgramIconResource = 1;

class Icon {
  public:
    Icon() = default;
    explicit Icon(HICON handle) : handle_(handle) {}
    Icon(Icon&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Icon& operator=(Icon&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    Icon(const Icon&) = delete;
    Icon& operator=(const Icon&) = delete;
    ~Icon() { Reset(); }

    HICON Get() const { return handle_; }
    void Reset(HICON handle = nullptr) {
        if (handle_ != nullptr)
            DestroyIcon(handle_);
        handle_ = handle;
    }

  private:
    HICON handle_ = nullptr;
};

// The program's icon at this size; none in a module without it (a test).
Icon ProgramIcon(int width, int height);
// The system's warning sign, `size` pixels square.
Icon WarningIcon(int size);

}  // namespace bladeway::win32
