#pragma once
// The program preview's text as RTF for a rich edit control: one stream
// fills the control with the text and its colours at once, where styling
// range by range would redraw and remeasure the control for each.
#include <string>
#include <string_view>

namespace bladeway::win32 {

// A program's Windows-1252 bytes, each line coloured by its G-code ranges
// (GcodeHighlights, in the styles of kGcodeStyles), in a fixed-width font.
std::string GcodeRtf(std::string_view program);
// A UTF-8 text, plain, in the same font.
std::string PlainRtf(std::string_view utf8);

}  // namespace bladeway::win32
