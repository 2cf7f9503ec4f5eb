#pragma once
// The user at the X display. Pointer moves, clicks and keys go through the X
// server (xdotool's XTEST input) and windows are closed through the window
// manager (wmctrl), so the real stacking, keyboard focus and modality decide
// where they land, as they do for a person at the machine. Windows are named
// by the X id of their client window (QWidget::winId() for a Qt window).
#include <string>
#include <sys/types.h>
#include <vector>

#include <QPoint>

namespace bladeway::testing::desktop {

using XWindow = unsigned long;

// Why the desktop tests cannot run here (no display, no window manager, a
// tool missing), or empty when they can.
std::string WhyNoDesktop();

// A left click (or `button`) at a point of the screen.
void ClickAt(QPoint screen, int button = 1);
// Keys in xdotool's names ("Return", "Escape", "ctrl+p") to the focused window.
void PressKeys(const std::string& keys);
// The window manager's close action on a window, as its close box does.
void PressCloseBox(XWindow window);

// Moves the pointer to `screen` and tells whether `window` is what shows
// there, that is whether the top-most window at that point holds it.
bool ShowsAt(XWindow window, QPoint screen);
// The window the window manager has given the focus; 0 when none.
XWindow ActiveWindow();
// The viewable top-level windows of a process whose title matches
// `titlePattern` (a regular expression), oldest first.
std::vector<XWindow> VisibleWindowsOf(pid_t pid, const std::string& titlePattern);
// A point inside a window, relative to its client area, on the screen.
QPoint ScreenPoint(XWindow window, QPoint inside);

// The screen as a PNG file, for a look after a failure (needs ImageMagick).
void SaveScreen(const std::string& path);

}  // namespace bladeway::testing::desktop
