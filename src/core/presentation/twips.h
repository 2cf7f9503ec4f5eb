#pragma once

// Window places and sizes are kept in twips (1/1440 inch); the screen works in
// pixels. At 96 dots per inch one pixel is 15 twips.

#include <cstdint>
#include <string_view>

namespace bladeway {

inline constexpr std::int64_t kTwipsPerPixel = 15;
inline constexpr std::int64_t kTwipsPerInch = 1440;
inline constexpr int kDesignDpi = 96;

// `numerator / denominator` (denominator above zero) to the nearest whole
// number, halves away from zero, as Windows' MulDiv rounds.
constexpr std::int64_t RoundedQuotient(std::int64_t numerator, std::int64_t denominator) {
    return numerator >= 0 ? (numerator + denominator / 2) / denominator
                          : -((-numerator + denominator / 2) / denominator);
}

// The nearest whole pixel at `dpi` dots per inch, and back; a DPI below one
// counts as the design's 96.
constexpr std::int64_t TwipsToPixelsAt(std::int64_t twips, int dpi) {
    return RoundedQuotient(twips * (dpi > 0 ? dpi : kDesignDpi), kTwipsPerInch);
}
constexpr std::int64_t PixelsToTwipsAt(std::int64_t pixels, int dpi) {
    return RoundedQuotient(pixels * kTwipsPerInch, dpi > 0 ? dpi : kDesignDpi);
}

// At 96 DPI, where Qt works and scales itself: 15 twips a pixel. 15 is odd,
// so a whole number of twips never lies exactly halfway between two pixels.
constexpr std::int64_t TwipsToPixels(std::int64_t twips) {
    return TwipsToPixelsAt(twips, kDesignDpi);
}

constexpr std::int64_t PixelsToTwips(std::int64_t pixels) {
    return pixels * kTwipsPerPixel;
}

// A rectangle in twips: a control's place from its window's client area's
// top-left corner, or (left and top zero) a client area's size.
struct TwipsRect {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    friend constexpr bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

// One row of a window's table of controls: the name a user, a test or a tool
// finds the control by, and its designed place. Each window's model keeps its
// table, so that every front end lays the window out alike.
struct ControlPlace {
    std::string_view objectName;
    TwipsRect place;
};

}  // namespace bladeway
