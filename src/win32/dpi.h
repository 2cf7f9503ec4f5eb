#pragma once
// Dots per inch of a window, and sizes scaled to it. The program declares
// per-monitor awareness in its manifest; a system without GetDpiForWindow
// (before Windows 10 1607) answers with the screen's DPI.
#include <cstdint>

#include "win32/windows_api.h"

namespace bladeway::win32 {

inline constexpr int kDefaultDpi = 96;

int DpiOf(HWND hwnd);

// `pixels` designed at 96 DPI, at `dpi`.
inline int ScaleToDpi(int pixels, int dpi) {
    return MulDiv(pixels, dpi, kDefaultDpi);
}

// Twips (1/1440 inch) as pixels at `dpi`.
inline int TwipsToPixels(std::int64_t twips, int dpi) {
    return MulDiv(static_cast<int>(twips), dpi, 1440);
}

}  // namespace bladeway::win32
