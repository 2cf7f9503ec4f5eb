#include "win32/dpi.h"

#include "win32/gdi.h"

namespace bladeway::win32 {

int DpiOf(HWND hwnd) {
    using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        reinterpret_cast<GetDpiForWindowCall>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr && hwnd != nullptr) {
        if (const UINT dpi = getDpiForWindow(hwnd); dpi != 0)
            return static_cast<int>(dpi);
    }
    const WindowDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen.Dc(), LOGPIXELSY);
    return dpi > 0 ? dpi : kDefaultDpi;
}

}  // namespace bladeway::win32
