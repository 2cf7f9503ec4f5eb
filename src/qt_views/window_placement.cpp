#include "qt_views/window_placement.h"

#include <algorithm>
#include <limits>

#include <QEvent>
#include <QMargins>
#include <QPointer>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <QWindow>

#include "core/presentation/twips.h"

namespace bladeway {
namespace {

// Where the last frame the platform reported is kept on the window itself.
constexpr const char* kRememberedFrame = "bladewayFrameMargins";

// The frame as the platform knows it now. The platform window is asked
// directly: the widget's own idea of its frame is updated only by later
// events.
QMargins PlatformFrame(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle != nullptr ? handle->frameMargins() : QMargins();
}

QRect OuterRect(const QWidget& window) {
    return window.geometry().marginsAdded(KnownFrameMargins(window));
}

void ApplyPlace(QWidget& window, const OuterPlace& place) {
    if (place.height)
        SetOuterHeight(window, *place.height);
    if (place.width)
        SetOuterWidth(window, *place.width);
    if (place.top)
        SetOuterTop(window, *place.top);
    if (place.left)
        SetOuterLeft(window, *place.left);
}

// Re-applies a window's outer place once its first showing has told the
// frame. Lives as a child of the window and removes itself when done.
class PendingPlace final : public QObject {
  public:
    PendingPlace(QWidget& window, const OuterPlace& place)
        : QObject(&window), window_(window), place_(place) {
        setObjectName(QStringLiteral("PendingPlace"));
        window.installEventFilter(this);
        WatchHandle();
    }

    void Replace(const OuterPlace& place) { place_ = place; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_) {
            if (event->type() == QEvent::Show)
                WatchHandle();
            return false;
        }
        if (watched == handle_ && event->type() == QEvent::Expose && handle_->isExposed() &&
            HasFrame(window_)) {
            handle_->removeEventFilter(this);
            window_.removeEventFilter(this);
            if (!window_.isMaximized() && !window_.isFullScreen())
                ApplyPlace(window_, place_);
            deleteLater();
        }
        return false;
    }

  private:
    void WatchHandle() {
        QWindow* handle = window_.windowHandle();
        if (handle == nullptr || handle == handle_)
            return;
        if (handle_ != nullptr)
            handle_->removeEventFilter(this);
        handle_ = handle;
        handle_->installEventFilter(this);
    }

    QWidget& window_;
    QPointer<QWindow> handle_;
    OuterPlace place_;
};

}  // namespace

PixelRect PixelsOf(const QRect& rect) {
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}

QRect RectOf(const PixelRect& rect) {
    return {static_cast<int>(rect.left), static_cast<int>(rect.top), static_cast<int>(rect.width),
            static_cast<int>(rect.height)};
}

int PixelsOf(std::int64_t twips) {
    const std::int64_t pixels = TwipsToPixels(twips);
    constexpr std::int64_t kLimit = std::numeric_limits<int>::max() / 2;
    return static_cast<int>(std::clamp(pixels, -kLimit, kLimit));
}

void PlaceControl(QWidget& control, std::int64_t left, std::int64_t top, std::int64_t width,
                  std::int64_t height) {
    control.setGeometry(PixelsOf(left), PixelsOf(top), std::max(0, PixelsOf(width)),
                        std::max(0, PixelsOf(height)));
}

void SetClientSize(QWidget& window, std::int64_t width, std::int64_t height) {
    window.resize(PixelsOf(width), PixelsOf(height));
}

QMargins KnownFrameMargins(const QWidget& window) {
    const QMargins own = PlatformFrame(window);
    if (!own.isNull()) {
        const_cast<QWidget&>(window).setProperty(kRememberedFrame, QVariant::fromValue(own));
        return own;
    }
    if (const QVariant remembered = window.property(kRememberedFrame); remembered.isValid())
        return remembered.value<QMargins>();
    if (const QWidget* parent = window.parentWidget(); parent != nullptr)
        return PlatformFrame(*parent->window());
    return {};
}

std::int64_t OuterTop(const QWidget& window) {
    return PixelsToTwips(OuterRect(window).top());
}

std::int64_t OuterLeft(const QWidget& window) {
    return PixelsToTwips(OuterRect(window).left());
}

std::int64_t OuterHeight(const QWidget& window) {
    return PixelsToTwips(OuterRect(window).height());
}

std::int64_t OuterWidth(const QWidget& window) {
    return PixelsToTwips(OuterRect(window).width());
}

// The client area is placed (setGeometry), not the frame (move), so that the
// result does not depend on how the desktop reads a requested position.
void SetOuterTop(QWidget& window, std::int64_t top) {
    QRect client = window.geometry();
    client.moveTop(PixelsOf(top) + KnownFrameMargins(window).top());
    window.setGeometry(client);
}

void SetOuterLeft(QWidget& window, std::int64_t left) {
    QRect client = window.geometry();
    client.moveLeft(PixelsOf(left) + KnownFrameMargins(window).left());
    window.setGeometry(client);
}

void KeepOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr)
        return;
    const QMargins frame = KnownFrameMargins(window);
    const QRect outer = window.geometry().marginsAdded(frame);
    const QRect fitted =
        RectOf(FitOnScreen(PixelsOf(outer), PixelsOf(screen->availableGeometry())));
    if (fitted != outer)
        window.setGeometry(fitted.marginsRemoved(frame));
}

void SetOuterHeight(QWidget& window, std::int64_t height) {
    const QMargins frame = KnownFrameMargins(window);
    window.resize(window.width(), std::max(0, PixelsOf(height) - frame.top() - frame.bottom()));
}

void SetOuterWidth(QWidget& window, std::int64_t width) {
    const QMargins frame = KnownFrameMargins(window);
    window.resize(std::max(0, PixelsOf(width) - frame.left() - frame.right()), window.height());
}

bool HasFrame(const QWidget& window) {
    return !PlatformFrame(window).isNull();
}

void PlaceWindow(QWidget& window, const OuterPlace& place) {
    ApplyPlace(window, place);
    if (HasFrame(window))
        return;
    // (PendingPlace has no meta-object of its own: found by name, checked by type.)
    auto* pending = dynamic_cast<PendingPlace*>(
        window.findChild<QObject*>(QStringLiteral("PendingPlace"), Qt::FindDirectChildrenOnly));
    if (pending != nullptr) {
        pending->Replace(place);
    } else {
        new PendingPlace(window, place);
    }
}

OuterPosition OuterPositionOf(const QWidget& window) {
    return {OuterTop(window), OuterLeft(window)};
}

OuterSize OuterSizeOf(const QWidget& window) {
    return {OuterHeight(window), OuterWidth(window)};
}

}  // namespace bladeway
