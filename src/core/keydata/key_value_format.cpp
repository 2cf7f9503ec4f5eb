#include "core/keydata/key_value_format.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/text/decimal_text.h"
#include "core/text/text.h"

namespace bladeway {

std::optional<std::string> FormatKeyValue(std::string_view value) {
    const std::string_view number = TrimBlanks(value);
    const DecimalParts parts = ScanDecimal(number);
    if (parts.length == 0 || parts.length != number.size() ||
        std::isinf(ParseDecimalPrefix(number).value)) {
        return std::nullopt;
    }

    // All mantissa digits without leading zeros; `point` digits of them stand
    // before the decimal point once the exponent is applied.
    std::string digits;
    digits.reserve(parts.integerDigits.size() + parts.fractionDigits.size());
    digits.append(parts.integerDigits).append(parts.fractionDigits);
    std::int64_t point = static_cast<std::int64_t>(parts.integerDigits.size()) + parts.exponent;
    const auto firstNonZero = digits.find_first_not_of('0');
    const bool isZero = firstNonZero == std::string::npos;
    if (!isZero) {
        digits.erase(0, firstNonZero);
        point -= static_cast<std::int64_t>(firstNonZero);
    }

    // Thousandths: the digits before the point of value * 1000, then round
    // half away from zero on the first digit after it.
    std::string thousandths;
    if (!isZero) {
        const std::int64_t kept = point + 3;
        if (kept > 0) {
            const auto keptDigits = static_cast<std::size_t>(kept);
            thousandths = digits.substr(0, std::min(keptDigits, digits.size()));
            thousandths.resize(keptDigits, '0');
        }
        const bool roundUp = kept >= 0 && static_cast<std::size_t>(kept) < digits.size() &&
                             digits[static_cast<std::size_t>(kept)] >= '5';
        if (roundUp) {
            auto it = thousandths.rbegin();
            for (; it != thousandths.rend() && *it == '9'; ++it) {
                *it = '0';
            }
            if (it == thousandths.rend()) {
                thousandths.insert(thousandths.begin(), '1');
            } else {
                ++*it;
            }
        }
    }
    if (thousandths.size() < 4) {
        thousandths.insert(0, 4 - thousandths.size(), '0');
    }

    std::string_view integerPart(thousandths.data(), thousandths.size() - 3);
    integerPart.remove_prefix(std::min(integerPart.find_first_not_of('0'), integerPart.size() - 1));
    std::string_view fractionPart(thousandths.data() + thousandths.size() - 3, 3);
    fractionPart = fractionPart.substr(0, fractionPart.find_last_not_of('0') + 1);

    std::string formatted;
    if (parts.negative && !isZero) {
        formatted += '-';
    }
    formatted.append(integerPart);
    if (!fractionPart.empty()) {
        formatted.append(".").append(fractionPart);
    }
    return formatted;
}

}  // namespace bladeway
