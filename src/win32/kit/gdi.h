#pragma once
// Owners of GDI objects and device contexts: each gives back what it took
// when it goes out of scope.
#include <utility>

#include "win32/kit/owned_handle.h"
#include "win32/kit/windows_api.h"

namespace bladeway::win32 {

// A font, brush, pen or bitmap, deleted with the owner.
template <typename Handle>
using GdiObject = OwnedHandle<Handle, &DeleteObject>;

using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Bitmap = GdiObject<HBITMAP>;

// An object selected into a device context until the end of the scope.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() { SelectObject(dc_, previous_); }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint ... EndPaint.
class PaintScope {
  public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(hwnd_, &paint_); }

    HDC Dc() const { return dc_; }

  private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// A window's device context outside painting (GetDC ... ReleaseDC).
class WindowDc {
  public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() { ReleaseDC(hwnd_, dc_); }

    HDC Dc() const { return dc_; }

  private:
    HWND hwnd_;
    HDC dc_;
};

// A memory device context compatible with another (CreateCompatibleDC ... DeleteDC).
class MemoryDc {
  public:
    explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc() { DeleteDC(dc_); }

    HDC Dc() const { return dc_; }

  private:
    HDC dc_;
};

}  // namespace bladeway::win32
