#include "core/presentation/pixel_rect.h"

#include <algorithm>

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

}  // namespace bladeway
