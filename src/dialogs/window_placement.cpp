#include "dialogs/window_placement.h"

#include <algorithm>
#include <limits>

#include <QWidget>

#include "core/platform/twips.h"

namespace bladeway {
namespace {

// Pixels as Qt's int, saturated so that absurd stored values cannot wrap.
int Pixels(std::int64_t twips) {
    const std::int64_t pixels = TwipsToPixels(twips);
    constexpr std::int64_t kLimit = std::numeric_limits<int>::max() / 2;
    return static_cast<int>(std::clamp(pixels, -kLimit, kLimit));
}

QSize FrameExtent(const QWidget& window) {
    return window.frameGeometry().size() - window.geometry().size();
}

}  // namespace

void PlaceControl(QWidget& control, std::int64_t left, std::int64_t top, std::int64_t width,
                  std::int64_t height) {
    control.setGeometry(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
}

void SetClientSize(QWidget& window, std::int64_t width, std::int64_t height) {
    window.resize(Pixels(width), Pixels(height));
}

std::int64_t OuterTop(const QWidget& window) {
    return PixelsToTwips(window.frameGeometry().top());
}

std::int64_t OuterLeft(const QWidget& window) {
    return PixelsToTwips(window.frameGeometry().left());
}

std::int64_t OuterHeight(const QWidget& window) {
    return PixelsToTwips(window.frameGeometry().height());
}

std::int64_t OuterWidth(const QWidget& window) {
    return PixelsToTwips(window.frameGeometry().width());
}

// For a window, QWidget::move() places the frame's top-left corner.
void SetOuterTop(QWidget& window, std::int64_t top) {
    window.move(window.x(), Pixels(top));
}

void SetOuterLeft(QWidget& window, std::int64_t left) {
    window.move(Pixels(left), window.y());
}

void SetOuterHeight(QWidget& window, std::int64_t height) {
    const int client = std::max(0, Pixels(height) - FrameExtent(window).height());
    window.resize(window.width(), client);
}

void SetOuterWidth(QWidget& window, std::int64_t width) {
    const int client = std::max(0, Pixels(width) - FrameExtent(window).width());
    window.resize(client, window.height());
}

bool HasFrame(const QWidget& window) {
    return !FrameExtent(window).isNull();
}

}  // namespace bladeway
