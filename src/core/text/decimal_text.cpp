#include "core/text/decimal_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/text/text.h"

namespace bladeway {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Decimal order of magnitude of the parts: the value lies in [10^(order-1), 10^order).
std::int64_t OrderOfMagnitude(const DecimalParts& parts) {
    const auto firstInteger = parts.integerDigits.find_first_not_of('0');
    if (firstInteger != std::string_view::npos) {
        return static_cast<std::int64_t>(parts.integerDigits.size() - firstInteger) +
               parts.exponent;
    }
    const auto firstFraction = parts.fractionDigits.find_first_not_of('0');
    if (firstFraction == std::string_view::npos) {
        return std::numeric_limits<std::int64_t>::min();  // zero
    }
    return -static_cast<std::int64_t>(firstFraction) + parts.exponent;
}

}  // namespace

DecimalParts ScanDecimal(std::string_view text) {
    DecimalParts parts;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        parts.negative = text[i] == '-';
        ++i;
    }
    const std::size_t integerStart = i;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
    }
    parts.integerDigits = text.substr(integerStart, i - integerStart);
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionStart = ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
        }
        parts.fractionDigits = text.substr(fractionStart, i - fractionStart);
    }
    if (parts.integerDigits.empty() && parts.fractionDigits.empty()) {
        return {};
    }
    parts.length = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool exponentNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            exponentNegative = text[j] == '-';
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            constexpr std::int64_t kExponentCap = 1'000'000'000;  // far past any double
            std::int64_t exponent = 0;
            while (j < text.size() && IsDigit(text[j])) {
                exponent = std::min(kExponentCap, exponent * 10 + (text[j] - '0'));
                ++j;
            }
            parts.exponent = exponentNegative ? -exponent : exponent;
            parts.length = j;
        }
    }
    return parts;
}

DecimalPrefix ParseDecimalPrefix(std::string_view text) {
    const DecimalParts parts = ScanDecimal(text);
    if (parts.length == 0) {
        return {};
    }
    std::string_view number = text.substr(0, parts.length);
    if (number.front() == '+') {
        number.remove_prefix(1);  // from_chars takes no plus sign
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        const bool overflow = OrderOfMagnitude(parts) > 0;
        value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
        if (parts.negative) {
            value = -value;
        }
    }
    return {value, parts.length};
}

double NumericValue(std::string_view text) {
    const auto* const first = std::find_if_not(text.begin(), text.end(), IsBlank);
    return ParseDecimalPrefix(text.substr(static_cast<std::size_t>(first - text.begin()))).value;
}

std::string FormatShortDecimal(double value) {
    if (value == 0.0) {
        return "0";  // also for -0
    }
    std::array<char, 64> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::general, 15);
    std::string text(buffer.data(), end);
    const auto exponent = text.find('e');
    if (exponent != std::string::npos) {
        text[exponent] = 'E';
    }
    // No zero before the point: 0.5 is written .5 and -0.25 is -.25.
    const std::size_t signLength = text.front() == '-' ? 1 : 0;
    if (text.compare(signLength, 2, "0.") == 0) {
        text.erase(signLength, 1);
    }
    return text;
}

}  // namespace bladeway
