#pragma once

// The key value format: how a dimension read from a key data file is
// written into the record, worked on the decimal digits themselves so that
// no rounding of a double and no locale can change it.

#include <optional>
#include <string>
#include <string_view>

namespace bladeway {

// The value formatted after "#####0.###" with the final "." removed, or
// nothing when `value` does not read as a decimal number (optional blanks
// around an optional sign, digits with an optional ".", an optional exponent
// E and a whole number). Rounding to three decimals is done on the decimal
// digits, halves away from zero, so 1.0005 gives 1.001.
std::optional<std::string> FormatKeyValue(std::string_view value);

}  // namespace bladeway
