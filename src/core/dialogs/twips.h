#pragma once

// Window places and sizes are kept in twips (1/1440 inch); the screen works in
// pixels. At 96 dots per inch one pixel is 15 twips.

#include <cstdint>

namespace bladeway {

inline constexpr std::int64_t kTwipsPerPixel = 15;

// The nearest whole pixel. 15 is odd, so a whole number of twips never lies
// exactly halfway between two pixels.
constexpr std::int64_t TwipsToPixels(std::int64_t twips) {
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

constexpr std::int64_t PixelsToTwips(std::int64_t pixels) {
    return pixels * kTwipsPerPixel;
}

}  // namespace bladeway
