// Value formatting and the numeric helpers over arbitrary text: a formatted
// value has the "#####0.###" shape and lies within half a thousandth of the
// number it came from.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/keydata/key_value_format.h"
#include "core/text/decimal_text.h"
#include "core/text/text.h"
#include "fuzz_check.h"

namespace {

bool HasKeyValueShape(std::string_view text) {
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    if (whole.empty() || whole.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    if (whole.size() > 1 && whole.front() == '0')
        return false;
    if (point == std::string_view::npos)
        return true;
    const std::string_view decimals = text.substr(point + 1);
    return !decimals.empty() && decimals.size() <= 3 &&
           decimals.find_first_not_of("0123456789") == std::string_view::npos &&
           decimals.back() != '0';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)bladeway::RoundHalfEven(bladeway::LeadingNumberValue(text));
    (void)bladeway::FormatShortDecimal(bladeway::NumericValue(text));

    const auto formatted = bladeway::FormatKeyValue(text);
    if (!formatted)
        return 0;
    FUZZ_CHECK(HasKeyValueShape(*formatted));
    const double original = bladeway::NumericValue(text);
    const double result = bladeway::NumericValue(*formatted);
    if (std::isfinite(original) && std::fabs(original) < 1e12) {
        FUZZ_CHECK(std::fabs(result - original) <= 0.0005 + 1e-9 * std::fabs(original));
    }
    return 0;
}
