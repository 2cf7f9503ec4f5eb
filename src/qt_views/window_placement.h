#pragma once
// Places and sizes of windows and controls in twips, the unit of the settings
// file and of the design layouts. Controls are placed in their window's client
// area; windows are placed and measured by their outer (frame) edges, as the
// settings file keeps them. Twips map to Qt's device-independent pixels, so a
// layout keeps its proportions on high-density screens.
#include <cstdint>
#include <optional>

#include <QMargins>
#include <QRect>

#include "core/presentation/pixel_rect.h"
#include "core/presentation/twips.h"
#include "core/presentation/window_place.h"

class QWidget;

namespace bladeway {

// Twips as Qt pixels, saturated so that absurd stored values cannot wrap.
int PixelsOf(std::int64_t twips);

// A rectangle of the screen as the core's places take it, and back.
PixelRect PixelsOf(const QRect& rect);
QRect RectOf(const PixelRect& rect);

// Puts a control at its design place in its window's client area; a size
// below zero is none.
void PlaceControl(QWidget& control, std::int64_t left, std::int64_t top, std::int64_t width,
                  std::int64_t height);
inline void PlaceControl(QWidget& control, const TwipsRect& place) {
    PlaceControl(control, place.left, place.top, place.width, place.height);
}

// Gives a window a client area of this size.
void SetClientSize(QWidget& window, std::int64_t width, std::int64_t height);

// The window's frame, as far as it is known: the one the platform reports,
// else the last one it reported (some platforms forget the frame while a
// window is hidden or after a modal run), else its parent window's (dialogs
// get the same frame), else none.
QMargins KnownFrameMargins(const QWidget& window);

// Outer edges and size of a top-level window, in twips from the screen's
// top-left corner: its client area with its known frame. A maximized window
// may report negative edges.
std::int64_t OuterTop(const QWidget& window);
std::int64_t OuterLeft(const QWidget& window);
std::int64_t OuterHeight(const QWidget& window);
std::int64_t OuterWidth(const QWidget& window);
// The same as the settings keep them.
OuterPosition OuterPositionOf(const QWidget& window);
OuterSize OuterSizeOf(const QWidget& window);

// Moves or sizes a top-level window by its outer edges, with its known frame
// (none before the window or its parent has a platform window). The
// platform's limits on window sizes still apply.
void SetOuterTop(QWidget& window, std::int64_t top);
void SetOuterLeft(QWidget& window, std::int64_t left);
void SetOuterHeight(QWidget& window, std::int64_t height);
void SetOuterWidth(QWidget& window, std::int64_t width);

// Moves the window (its outer rectangle, with its known frame) into its
// screen's free area where it reaches beyond it, shrunk where it is larger.
void KeepOnScreen(QWidget& window);

// True when the platform reports a frame around the window now.
bool HasFrame(const QWidget& window);

// An outer place and size (twips); what is not given stays as it is.
using OuterPlace = StoredWindowPlace;

// Sets the outer place and size of a window: height, width, top, left. A
// desktop tells a window's frame only once the window is on the screen, so
// for a window whose frame is not known yet the place is applied again when
// it first shows with its frame; otherwise the window would land (and be
// stored) a frame's height away from where it was asked to be.
void PlaceWindow(QWidget& window, const OuterPlace& place);

}  // namespace bladeway
