#pragma once

// A top-level window's outer place and size (frame included) in twips, the
// units the settings file and the dialogs' layouts use.

#include <cstdint>

#include <QMargins>
#include <QWidget>

namespace bladeway {

// The window's frame, as far as it is known: its own once the platform has
// framed it (remembered while the platform forgets it), before that its
// parent window's (dialogs get the same frame), and none without either.
QMargins KnownFrameMargins(const QWidget& window);

std::int64_t OuterTopTwips(const QWidget& window);
std::int64_t OuterLeftTwips(const QWidget& window);
std::int64_t OuterHeightTwips(const QWidget& window);
std::int64_t OuterWidthTwips(const QWidget& window);

// Each moves or sizes the window in one direction only; the nearest whole
// pixel is used, and a size never goes below no client area at all.
void SetOuterTopTwips(QWidget& window, std::int64_t top);
void SetOuterLeftTwips(QWidget& window, std::int64_t left);
void SetOuterHeightTwips(QWidget& window, std::int64_t height);
void SetOuterWidthTwips(QWidget& window, std::int64_t width);

// A child control's place and size, given in twips of its window's client area.
void PlaceInTwips(QWidget& control, std::int64_t left, std::int64_t top, std::int64_t width,
                  std::int64_t height);

}  // namespace bladeway
