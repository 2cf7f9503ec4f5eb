#include "win32/kit/dpi.h"

#include <algorithm>
#include <cwchar>

#include "win32/kit/gdi.h"

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

LOGFONTW MessageFontAt(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) == FALSE) {
        LOGFONTW font{};
        font.lfHeight = -MulDiv(9, dpi, 72);
        wcscpy_s(font.lfFaceName, L"MS Shell Dlg 2");
        return font;
    }
    const WindowDc screen(nullptr);
    const int screenDpi = std::max(GetDeviceCaps(screen.Dc(), LOGPIXELSY), 1);
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, dpi, screenDpi);
    return font;
}

void TakeSuggestedPlace(HWND hwnd, LPARAM suggestedPlace) {
    const RECT& suggested = *reinterpret_cast<const RECT*>(suggestedPlace);
    SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace bladeway::win32
