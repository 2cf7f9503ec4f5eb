#pragma once

// Decimal numbers as text, independent of the process locale: parsing a
// leading number, the key value format "#####0.###" worked on the decimal
// digits themselves, and the shortest form of an axis value.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace bladeway {

struct DecimalPrefix {
    double value = 0.0;
    std::size_t length = 0;  // characters taken; 0 when the text starts with no number
};

// The longest leading decimal number of `text` (optional sign, digits with an
// optional ".", optional exponent e/E and a whole number), without skipping
// anything. Overflow gives +-infinity, underflow 0.
DecimalPrefix ParseDecimalPrefix(std::string_view text);

// strtod-like value of a decimal text: leading blanks skipped, the longest
// decimal prefix read, 0 when there is none. "." is the decimal point.
double NumericValue(std::string_view text);

// The value formatted after "#####0.###" with the final "." removed, or
// nothing when `value` does not read as a decimal number (optional blanks
// around an optional sign, digits with an optional ".", an optional exponent
// E and a whole number). Rounding to three decimals is done on the decimal
// digits, halves away from zero, so 1.0005 gives 1.001.
std::optional<std::string> FormatKeyValue(std::string_view value);

// A double written with up to 15 significant digits, "." as the decimal
// point, no leading zero before the point (.5, -.25), no trailing zeros and no
// point for whole numbers; very large or small magnitudes in exponent form
// (1E+20, 1E-07).
std::string FormatShortDecimal(double value);

}  // namespace bladeway
