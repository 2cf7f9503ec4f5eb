#pragma once
// A window object behind a Win32 window: one static window procedure per
// class finds the object stored on the window (GWLP_USERDATA, set from
// lpCreateParams at WM_NCCREATE) and hands it each message.
#include "win32/kit/windows_api.h"

namespace bladeway::win32 {

class Window {
  public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const { return hwnd_; }

  protected:
    Window() = default;

    // Registers the class `className` once per process, with this class's
    // window procedure. Without a `background` the window paints all of its
    // client area itself.
    static void RegisterClassOnce(const wchar_t* className, UINT style, HCURSOR cursor,
                                  HICON icon = nullptr, HBRUSH background = nullptr);
    // Creates the window; messages reach HandleMessage from WM_NCCREATE on.
    HWND Create(const wchar_t* className, DWORD exStyle, DWORD style, const wchar_t* title,
                const RECT& place, HWND parent, int id);
    // Destroys the window now. Derived classes call it in their destructor,
    // so that the messages of the destruction still reach them.
    void Destroy();

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }

  private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

}  // namespace bladeway::win32
