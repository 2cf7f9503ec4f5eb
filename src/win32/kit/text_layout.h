#pragma once
// Measures for windows that lay themselves out: how much room a control's
// text takes in the control's font, and a fixed-width font like another.
#include <string>
#include <string_view>

#include "win32/kit/gdi.h"
#include "win32/kit/windows_api.h"

namespace bladeway::win32 {

// The height of `control`'s text wrapped to `width` pixels (one line when empty).
int WrappedTextHeight(HWND control, int width);
// The width of `control`'s text on one line.
int TextWidth(HWND control);
// The width of the longest of the lines of `control`'s text.
int LongestLineWidth(HWND control);
// The width of the widest run of `control`'s text between plain spaces and
// line ends: a path or command kept whole with no-break spaces is one run.
int WidestUnbrokenWidth(HWND control);
// The same for `text` in `font`, before it is in a control.
int WidestUnbrokenWidth(HFONT font, std::wstring_view text);
// A fixed-width font of the size and weight of `like`.
Font FixedFontLike(HFONT like);
// Moves a child to `place` (its parent's client pixels).
void PlaceChild(HWND child, int left, int top, int width, int height);

}  // namespace bladeway::win32
