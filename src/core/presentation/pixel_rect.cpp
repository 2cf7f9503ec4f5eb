#include "core/presentation/pixel_rect.h"

#include <algorithm>
#include <array>
#include <optional>

namespace bladeway {

PixelRect FitOnScreen(const PixelRect& wanted, const PixelRect& available) {
    PixelRect fitted{wanted.left, wanted.top, std::min(wanted.width, available.width),
                     std::min(wanted.height, available.height)};
    fitted.left =
        std::clamp(fitted.left, available.left, available.left + available.width - fitted.width);
    fitted.top =
        std::clamp(fitted.top, available.top, available.top + available.height - fitted.height);
    return fitted;
}

PixelRect CentredOn(const PixelRect& rect, const PixelRect& on) {
    const std::int64_t centreX = (on.left + on.left + on.width - 1) / 2;
    const std::int64_t centreY = (on.top + on.top + on.height - 1) / 2;
    return {centreX - (rect.width - 1) / 2, centreY - (rect.height - 1) / 2, rect.width,
            rect.height};
}

PixelRect BesidePlace(const PixelRect& owner, std::int64_t width, std::int64_t height,
                      std::int64_t smallestWidth, std::int64_t smallestHeight,
                      const PixelRect& available) {
    const std::int64_t right = available.left + available.width;
    const std::int64_t bottom = available.top + available.height;
    const std::int64_t ownerRight = owner.left + owner.width;
    const std::int64_t ownerBottom = owner.top + owner.height;
    // The rooms, each with the place the window takes in it: by the owner's
    // top edge beside it, by its left edge above or below it.
    const std::array<PixelRect, 4> rooms = {
        PixelRect{ownerRight, available.top, right - ownerRight, available.height},
        PixelRect{available.left, ownerBottom, available.width, bottom - ownerBottom},
        PixelRect{available.left, available.top, owner.left - available.left, available.height},
        PixelRect{available.left, available.top, available.width, owner.top - available.top}};
    const auto placeIn = [&](const PixelRect& room, std::int64_t w, std::int64_t h, bool side) {
        const PixelRect wanted{
            side ? (room.left == ownerRight ? room.left : owner.left - w) : owner.left,
            side ? owner.top : (room.top == ownerBottom ? room.top : owner.top - h), w, h};
        return FitOnScreen(wanted, room);
    };
    for (std::size_t i = 0; i < rooms.size(); ++i) {
        if (rooms[i].width >= width && rooms[i].height >= height)
            return placeIn(rooms[i], width, height, i % 2 == 0);
    }
    // The largest room that holds the window at its smallest.
    const auto holdsSmallest = [&](const PixelRect& room) {
        return room.width >= smallestWidth && room.height >= smallestHeight;
    };
    std::optional<std::size_t> largest;
    for (std::size_t i = 0; i < rooms.size(); ++i) {
        if (holdsSmallest(rooms[i]) &&
            (!largest ||
             rooms[i].width * rooms[i].height > rooms[*largest].width * rooms[*largest].height)) {
            largest = i;
        }
    }
    if (largest) {
        const PixelRect& room = rooms[*largest];
        return placeIn(room, std::min(width, room.width), std::min(height, room.height),
                       *largest % 2 == 0);
    }
    return FitOnScreen({ownerRight, owner.top, width, height}, available);
}

}  // namespace bladeway
