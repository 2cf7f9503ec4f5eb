#pragma once
// Owners of handles: each gives its handle back to the system, with the
// call that frees it, when it goes out of scope, unless the handle was
// handed over to the system meanwhile. The GDI objects' owners are in gdi.h.
#include <utility>

#include "win32/kit/windows_api.h"

namespace bladeway::win32 {

template <typename Handle, auto Free>
class OwnedHandle {
  public:
    OwnedHandle() = default;
    explicit OwnedHandle(Handle handle) : handle_(handle) {}
    OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.Release()) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    ~OwnedHandle() { Reset(); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(Handle handle = nullptr) {
        if (handle_ != nullptr)
            Free(handle_);
        handle_ = handle;
    }
    // The handle now belongs to whoever took it (the clipboard its memory).
    Handle Release() { return std::exchange(handle_, nullptr); }

  private:
    Handle handle_ = nullptr;
};

using AcceleratorTable = OwnedHandle<HACCEL, &DestroyAcceleratorTable>;
using Menu = OwnedHandle<HMENU, &DestroyMenu>;
using ImageList = OwnedHandle<HIMAGELIST, &ImageList_Destroy>;
using GlobalMemory = OwnedHandle<HGLOBAL, &GlobalFree>;

}  // namespace bladeway::win32
