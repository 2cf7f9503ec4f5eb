#pragma once

// Where a window goes on the screen, in the screen's pixels: the places a
// window takes beside another one or within the free area of a screen.

#include <cstdint>

namespace bladeway {

// A rectangle on the screen; `left` and `top` may be negative on a screen
// left of or above the main one.
struct PixelRect {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct PixelPoint {
    std::int64_t x = 0;
    std::int64_t y = 0;
    friend constexpr bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// Where a window whose outer rectangle would be `wanted` opens on a screen
// whose free area is `available`: shrunk to it where larger, then moved into
// it; never grown.
PixelRect FitOnScreen(const PixelRect& wanted, const PixelRect& available);

// `rect` moved so that its centre is that of `on`. A centre lies on a pixel:
// the middle one of an odd count, of an even count the one before the
// middle (halves of negative places rounded toward zero).
PixelRect CentredOn(const PixelRect& rect, const PixelRect& on);

// Where a window `width` by `height` (outer) opens beside `owner` rather than
// over it, within `available`: in the free room right of the owner, below
// it, left of it or above it, the first that holds it whole, lined up with
// the owner's top or left edge; where none does, in the largest room that
// holds it at its smallest (`smallestWidth` by `smallestHeight`), shrunk to
// that room; where none can, right of the owner's left edge as far as the
// screen lets it.
PixelRect BesidePlace(const PixelRect& owner, std::int64_t width, std::int64_t height,
                      std::int64_t smallestWidth, std::int64_t smallestHeight,
                      const PixelRect& available);

}  // namespace bladeway
