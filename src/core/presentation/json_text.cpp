#include "core/presentation/json_text.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace bladeway {
namespace {

constexpr std::string_view kHexDigits = "0123456789abcdef";

void AppendUnicodeEscape(std::string& out, unsigned codeUnit) {
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += kHexDigits[(codeUnit >> shift) & 0xFU];
}

void AppendEscaped(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (byte) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20) {
                    AppendUnicodeEscape(out, byte);
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

void AppendNumber(std::string& out, const nlohmann::json& number) {
    std::array<char, 32> digits{};
    std::to_chars_result result{};
    if (number.is_number_unsigned()) {
        result = std::to_chars(digits.data(), digits.data() + digits.size(),
                               number.get<std::uint64_t>());
    } else if (number.is_number_integer()) {
        result =
            std::to_chars(digits.data(), digits.data() + digits.size(), number.get<std::int64_t>());
    } else {
        result = std::to_chars(digits.data(), digits.data() + digits.size(), number.get<double>());
    }
    out.append(digits.data(), result.ptr);
}

void AppendValue(std::string& out, const nlohmann::json& value, int indent) {
    const std::string inner((static_cast<std::size_t>(indent) + 1) * 4, ' ');
    switch (value.type()) {
        case nlohmann::json::value_t::object:
        case nlohmann::json::value_t::array: {
            const bool isObject = value.is_object();
            out += isObject ? "{\n" : "[\n";
            std::size_t left = value.size();
            for (auto item = value.begin(); item != value.end(); ++item) {
                out += inner;
                if (isObject) {
                    AppendEscaped(out, item.key());
                    out += ": ";
                }
                AppendValue(out, item.value(), indent + 1);
                out += --left == 0 ? "\n" : ",\n";
            }
            out.append(static_cast<std::size_t>(indent) * 4, ' ');
            out += isObject ? '}' : ']';
            break;
        }
        case nlohmann::json::value_t::string:
            AppendEscaped(out, value.get_ref<const std::string&>());
            break;
        case nlohmann::json::value_t::boolean:
            out += value.get<bool>() ? "true" : "false";
            break;
        case nlohmann::json::value_t::number_integer:
        case nlohmann::json::value_t::number_unsigned:
        case nlohmann::json::value_t::number_float:
            AppendNumber(out, value);
            break;
        default:
            out += "null";
            break;
    }
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<unsigned> HexValue(std::string_view text, std::size_t at) {
    if (at + 4 > text.size())
        return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data() + at, text.data() + at + 4, value, 16);
    if (error != std::errc{} || end != text.data() + at + 4)
        return std::nullopt;
    return value;
}

bool IsHighSurrogate(unsigned unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(unsigned unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Copies the string that opens at `at` (its quote) in strict form; gives
// where the text goes on after it.
std::size_t CopyString(std::string_view text, std::size_t at, std::string& out) {
    out += '"';
    std::size_t i = at + 1;
    while (i < text.size()) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"') {
            out += c;
            return i + 1;
        }
        if (c != '\\') {
            if (byte < 0x20) {
                AppendUnicodeEscape(out, byte);
            } else {
                out += c;
            }
            ++i;
            continue;
        }
        if (i + 1 == text.size()) {
            out += c;
            return text.size();
        }
        const char escaped = text[i + 1];
        const auto escapedByte = static_cast<unsigned char>(escaped);
        if (escaped == 'u') {
            const auto unit = HexValue(text, i + 2);
            if (!unit) {  // not four hex digits: refused either way
                out += "\\u";
                i += 2;
                continue;
            }
            if (IsHighSurrogate(*unit) && text.substr(i + 6, 2) == "\\u") {
                if (const auto next = HexValue(text, i + 8); next && IsLowSurrogate(*next)) {
                    out.append(text.substr(i, 12));
                    i += 12;
                    continue;
                }
            }
            if (IsHighSurrogate(*unit) || IsLowSurrogate(*unit)) {
                out += "\\ufffd";
            } else {
                out.append(text.substr(i, 6));
            }
            i += 6;
        } else if (std::string_view("\"\\/bfnrt").find(escaped) != std::string_view::npos) {
            out.append(text.substr(i, 2));
            i += 2;
        } else {
            // The character itself; a byte stands for the code point of its value.
            if (escapedByte < 0x20 || escapedByte >= 0x80) {
                AppendUnicodeEscape(out, escapedByte);
            } else {
                out += escaped;
            }
            i += 2;
        }
    }
    return text.size();
}

// Copies the number that starts at `at` as Qt read it: an optional minus,
// a zero or digits (perhaps none), a point with digits (perhaps none), an
// exponent. Where Qt took it, the missing digits are made zeros.
std::size_t CopyNumber(std::string_view text, std::size_t at, std::string& out) {
    std::size_t i = at;
    const bool minus = text[i] == '-';
    if (minus)
        ++i;
    const std::size_t integerStart = i;
    if (i < text.size() && text[i] == '0') {
        ++i;
    } else {
        while (i < text.size() && IsDigit(text[i]))
            ++i;
    }
    const std::string_view integer = text.substr(integerStart, i - integerStart);
    const bool point = i < text.size() && text[i] == '.';
    std::string_view fraction;
    if (point) {
        const std::size_t fractionStart = ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
        fraction = text.substr(fractionStart, i - fractionStart);
    }
    const std::size_t exponentStart = i;
    bool exponentDigits = true;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            ++i;
        const std::size_t digitsStart = i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
        exponentDigits = i > digitsStart;
    }
    const std::string_view exponent = text.substr(exponentStart, i - exponentStart);
    if ((integer.empty() && fraction.empty()) || !exponentDigits) {
        out.append(text.substr(at, i - at));  // no number for Qt either
        return i;
    }
    if (minus)
        out += '-';
    out.append(integer.empty() ? std::string_view("0") : integer);
    if (point) {
        out += '.';
        out.append(fraction.empty() ? std::string_view("0") : fraction);
    }
    out.append(exponent);
    return i;
}

}  // namespace

std::string IndentedJson(const nlohmann::json& document) {
    std::string out;
    AppendValue(out, document, 0);
    out += '\n';
    return out;
}

std::optional<std::string> StrictJson(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    int depth = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"') {
            i = CopyString(text, i, out);
        } else if (c == '-' || c == '.' || IsDigit(c)) {
            i = CopyNumber(text, i, out);
        } else {
            if (c == '[' || c == '{') {
                if (++depth > kLargestJsonNesting)
                    return std::nullopt;
            } else if ((c == ']' || c == '}') && depth > 0) {
                --depth;
            }
            out += c;
            ++i;
        }
    }
    return out;
}

std::optional<nlohmann::json> ParseJsonAsQtDid(std::string_view text) {
    const auto strict = StrictJson(text);
    if (!strict)
        return std::nullopt;
    nlohmann::json document = nlohmann::json::parse(*strict, nullptr, /*allow_exceptions=*/false);
    if (document.is_discarded())
        return std::nullopt;
    return document;
}

}  // namespace bladeway
