#pragma once
// Dots per inch of a window, and sizes scaled to it. The program declares
// per-monitor awareness in its manifest; a system without GetDpiForWindow
// (before Windows 10 1607) answers with the screen's DPI.
#include <cstdint>

#include "core/presentation/twips.h"
#include "win32/kit/windows_api.h"

namespace bladeway::win32 {

inline constexpr int kDefaultDpi = 96;

int DpiOf(HWND hwnd);

// `pixels` designed at 96 DPI, at `dpi`.
inline int ScaleToDpi(int pixels, int dpi) {
    return MulDiv(pixels, dpi, kDefaultDpi);
}

// The system's message font, at `dpi` (the system gives it at the screen's).
LOGFONTW MessageFontAt(int dpi);

// At WM_DPICHANGED (its lParam): the window takes the place the system
// suggests for the new DPI.
void TakeSuggestedPlace(HWND hwnd, LPARAM suggestedPlace);

// Twips (1/1440 inch) as pixels at `dpi`, and back: the core's rounding.
inline int TwipsToPixels(std::int64_t twips, int dpi) {
    return static_cast<int>(TwipsToPixelsAt(twips, dpi));
}
inline std::int64_t PixelsToTwips(int pixels, int dpi) {
    return PixelsToTwipsAt(pixels, dpi);
}

// A place in twips as a rectangle of pixels at `dpi`.
inline RECT PixelRectOf(const TwipsRect& place, int dpi) {
    const int left = TwipsToPixels(place.left, dpi);
    const int top = TwipsToPixels(place.top, dpi);
    return RECT{left, top, left + TwipsToPixels(place.width, dpi),
                top + TwipsToPixels(place.height, dpi)};
}

}  // namespace bladeway::win32
