#pragma once
// Places and sizes of windows and controls in twips, the unit of the settings
// file and of the design layouts. Controls are placed in their window's client
// area; windows are placed and measured by their outer (frame) edges, as the
// settings file keeps them. Twips map to Qt's device-independent pixels, so a
// layout keeps its proportions on high-density screens.
#include <cstdint>

class QWidget;

namespace bladeway {

// Puts a control at its design place in its window's client area.
void PlaceControl(QWidget& control, std::int64_t left, std::int64_t top, std::int64_t width,
                  std::int64_t height);

// Gives a window a client area of this size.
void SetClientSize(QWidget& window, std::int64_t width, std::int64_t height);

// Outer edges and size of a top-level window, in twips from the screen's
// top-left corner. A maximized window may report negative edges.
std::int64_t OuterTop(const QWidget& window);
std::int64_t OuterLeft(const QWidget& window);
std::int64_t OuterHeight(const QWidget& window);
std::int64_t OuterWidth(const QWidget& window);

// Moves or sizes a top-level window by its outer edges. A size is applied to
// the client area less the frame the window has at the moment (none before it
// is first shown); the platform's limits on window sizes still apply.
void SetOuterTop(QWidget& window, std::int64_t top);
void SetOuterLeft(QWidget& window, std::int64_t left);
void SetOuterHeight(QWidget& window, std::int64_t height);
void SetOuterWidth(QWidget& window, std::int64_t width);

// True when the platform reports a frame around the window.
bool HasFrame(const QWidget& window);

}  // namespace bladeway
