#include "dialogs/twips_geometry.h"

#include <algorithm>

#include <QVariant>
#include <QWindow>

#include "core/platform/twips.h"

namespace bladeway {
namespace {

// Pixel values far beyond any screen are cut here so that a wild value in
// the settings file cannot overflow the window system's coordinates.
constexpr std::int64_t kLargestPixelValue = 1 << 20;

constexpr const char* kRememberedFrame = "bladewayFrameMargins";

int Pixels(std::int64_t twips) {
    return static_cast<int>(
        std::clamp(TwipsToPixels(twips), -kLargestPixelValue, kLargestPixelValue));
}

QMargins FrameOf(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle != nullptr ? handle->frameMargins() : QMargins();
}

}  // namespace

QMargins KnownFrameMargins(const QWidget& window) {
    // Some platforms forget the frame while a window is hidden or after a
    // modal run: the last frame seen is remembered on the window itself.
    const QMargins own = FrameOf(window);
    if (!own.isNull()) {
        const_cast<QWidget&>(window).setProperty(kRememberedFrame, QVariant::fromValue(own));
        return own;
    }
    if (const QVariant remembered = window.property(kRememberedFrame); remembered.isValid()) {
        return remembered.value<QMargins>();
    }
    if (const QWidget* parent = window.parentWidget(); parent != nullptr) {
        return FrameOf(*parent->window());
    }
    return {};
}

std::int64_t OuterTopTwips(const QWidget& window) {
    return PixelsToTwips(window.pos().y());
}

std::int64_t OuterLeftTwips(const QWidget& window) {
    return PixelsToTwips(window.pos().x());
}

std::int64_t OuterHeightTwips(const QWidget& window) {
    const QMargins frame = KnownFrameMargins(window);
    return PixelsToTwips(window.height() + frame.top() + frame.bottom());
}

std::int64_t OuterWidthTwips(const QWidget& window) {
    const QMargins frame = KnownFrameMargins(window);
    return PixelsToTwips(window.width() + frame.left() + frame.right());
}

void SetOuterTopTwips(QWidget& window, std::int64_t top) {
    window.move(window.pos().x(), Pixels(top));
}

void SetOuterLeftTwips(QWidget& window, std::int64_t left) {
    window.move(Pixels(left), window.pos().y());
}

void SetOuterHeightTwips(QWidget& window, std::int64_t height) {
    const QMargins frame = KnownFrameMargins(window);
    window.resize(window.width(), std::max(0, Pixels(height) - frame.top() - frame.bottom()));
}

void SetOuterWidthTwips(QWidget& window, std::int64_t width) {
    const QMargins frame = KnownFrameMargins(window);
    window.resize(std::max(0, Pixels(width) - frame.left() - frame.right()), window.height());
}

void PlaceInTwips(QWidget& control, std::int64_t left, std::int64_t top, std::int64_t width,
                  std::int64_t height) {
    control.setGeometry(Pixels(left), Pixels(top), std::max(0, Pixels(width)),
                        std::max(0, Pixels(height)));
}

}  // namespace bladeway
