#pragma once
// Reading and writing the values of G-code words: a word is a capital letter
// followed by its value, which runs up to the next capital letter.
#include <cstdint>
#include <string>
#include <string_view>

namespace bladeway {

// The characters of `text` from `start` (1-based) up to, not including, the
// first character at or after it whose code is 64 to 90 ("@" and "A" to "Z");
// the rest of the text when there is none; empty when `start` lies beyond the
// end. Digits, ".", "-", "+", blanks and small letters belong to the value.
std::string_view ReadAddressValue(std::string_view text, std::int64_t start);

// An X, Y or Z value as the position line gets it: unchanged in flat mode; in
// tree mode the numeric value written in its shortest form (.5, -.25, 3).
std::string FormatAxisValue(std::string_view value, bool flatTemplateMode);

}  // namespace bladeway
