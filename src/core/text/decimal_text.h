#pragma once

// Decimal numbers as text, independent of the process locale: the parts of a
// number as written, parsing a leading number, and the shortest form of an
// axis value. The key value format, worked on the digits, is in
// keydata/key_value_format.h.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace bladeway {

// The parts of a decimal number as written: sign, every mantissa digit, how
// many of them stand before the point, and the exponent.
struct DecimalParts {
    bool negative = false;
    std::string_view integerDigits;
    std::string_view fractionDigits;
    std::int64_t exponent = 0;
    std::size_t length = 0;  // characters of the text the number takes
};

// Reads a decimal number at the start of `text` (optional sign, digits with
// an optional ".", optional exponent e/E and a whole number); length 0 when
// there is none.
DecimalParts ScanDecimal(std::string_view text);

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

// A double written with up to 15 significant digits, "." as the decimal
// point, no leading zero before the point (.5, -.25), no trailing zeros and no
// point for whole numbers; very large or small magnitudes in exponent form
// (1E+20, 1E-07).
std::string FormatShortDecimal(double value);

}  // namespace bladeway
