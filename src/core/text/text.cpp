#include "core/text/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/text/decimal_text.h"

namespace bladeway {

std::string_view ParseString(std::int64_t& position, std::string_view text, char delimiter) {
    const auto length = static_cast<std::int64_t>(text.size());
    if (position < 1 || position > length) {
        position = 0;
        return {};
    }
    const auto start = static_cast<std::size_t>(position - 1);
    const void* found = std::memchr(text.data() + start, delimiter, text.size() - start);
    if (found == nullptr) {
        position = length + 1;
        return text.substr(start);
    }
    const auto end = static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
    position = static_cast<std::int64_t>(end) + 2;
    return text.substr(start, end - start);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

void ReplaceChar(std::string& text, char oldChar, char newChar) {
    std::replace(text.begin(), text.end(), oldChar, newChar);
}

std::string_view TrimLeadingSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

std::string_view TrimSpaces(std::string_view text) {
    text = TrimLeadingSpaces(text);
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

char ToUpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string ToUpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = ToUpperAscii(c);
    }
    return upper;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return ToUpperAscii(x) == ToUpperAscii(y);
           });
}

namespace {

bool IsSkippedBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

double LeadingNumberValue(std::string_view text) {
    // Gather the number's characters without the blanks, then parse them.
    std::string number;
    enum class Part { Sign, Integer, Fraction, ExponentSign, ExponentDigits } part = Part::Sign;
    for (const char c : text) {
        if (IsSkippedBlank(c)) {
            continue;
        }
        const bool digit = c >= '0' && c <= '9';
        if (part == Part::Sign && (c == '+' || c == '-')) {
            number += c;
            part = Part::Integer;
        } else if ((part == Part::Sign || part == Part::Integer || part == Part::Fraction) &&
                   digit) {
            number += c;
            if (part == Part::Sign) {
                part = Part::Integer;
            }
        } else if ((part == Part::Sign || part == Part::Integer) && c == '.') {
            number += c;
            part = Part::Fraction;
        } else if ((part == Part::Integer || part == Part::Fraction) &&
                   (c == 'E' || c == 'e' || c == 'D' || c == 'd')) {
            number += 'e';
            part = Part::ExponentSign;
        } else if ((part == Part::ExponentSign && (c == '+' || c == '-')) ||
                   ((part == Part::ExponentSign || part == Part::ExponentDigits) && digit)) {
            number += c;
            part = Part::ExponentDigits;
        } else {
            break;
        }
    }
    return ParseDecimalPrefix(number).value;
}

std::optional<std::uint64_t> DigitsValue(std::string_view text) {
    text = TrimSpaces(text);
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::int64_t WholeNumberOf(std::string_view text) {
    return RoundHalfEven(LeadingNumberValue(text));
}

std::int64_t RoundHalfEven(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    constexpr double kLimit = 9.2e18;
    if (value >= kLimit) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (value <= -kLimit) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(std::nearbyint(value));  // default mode: half to even
}

std::int16_t SaturateToInt16(std::int64_t value) {
    return static_cast<std::int16_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsValidUtf8(std::string_view text) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = byte(i);
        std::size_t extra = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (text.size() - i <= extra)
            return false;
        if (byte(i + 1) < low || byte(i + 1) > high)
            return false;
        for (std::size_t k = 2; k <= extra; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80)
                return false;
        }
        i += extra + 1;
    }
    return true;
}

std::string GroupedCount(std::size_t count) {
    std::string digits = std::to_string(count);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

std::string Plural(std::size_t count, std::string_view word) {
    return GroupedCount(count) + " " + std::string(word) + (count == 1 ? "" : "s");
}

}  // namespace bladeway
