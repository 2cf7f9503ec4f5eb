#include "core/presentation/json_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

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

// Builds the document from the parser's events, leaving out the members not
// kept and everything inside them. (nlohmann-json's own callback parser
// would do the leaving out, but looks through a whole list at the end of
// each object in it: minutes for a list of a million objects.)
class KeptMembersDocument final : public nlohmann::json_sax<nlohmann::json> {
  public:
    KeptMembersDocument(const KeepMember& keep, std::size_t mostValues)
        : keep_(keep), mostValues_(mostValues) {}

    nlohmann::json Document() && { return std::move(root_); }

    bool null() override { return Add(nullptr); }
    bool boolean(bool value) override { return Add(value); }
    bool number_integer(number_integer_t value) override { return Add(value); }
    bool number_unsigned(number_unsigned_t value) override { return Add(value); }
    bool number_float(number_float_t value, const string_t& /*text*/) override {
        return Add(value);
    }
    bool string(string_t& value) override { return Add(std::move(value)); }
    bool binary(binary_t& value) override { return Add(nlohmann::json::binary(std::move(value))); }
    bool start_object(std::size_t /*elements*/) override { return Open(nlohmann::json::object()); }
    bool start_array(std::size_t /*elements*/) override { return Open(nlohmann::json::array()); }
    bool end_object() override { return Close(); }
    bool end_array() override { return Close(); }
    bool key(string_t& name) override {
        if (skipDepth_ == 0) {
            skipNext_ = !keep_(open_.size(), name);
            member_ = std::move(name);
        }
        return true;
    }
    bool parse_error(std::size_t /*position*/, const std::string& /*last_token*/,
                     const nlohmann::detail::exception& /*error*/) override {
        return false;
    }

  private:
    // Where a new value goes; nullptr when it is left out.
    nlohmann::json* Place(nlohmann::json value) {
        if (open_.empty()) {
            root_ = std::move(value);
            return &root_;
        }
        nlohmann::json& container = *open_.back();
        if (container.is_array()) {
            container.push_back(std::move(value));
            return &container.back();
        }
        nlohmann::json& member = container[member_];  // a member twice: the last counts
        member = std::move(value);
        return &member;
    }

    // False ends the reading: more values than allowed.
    bool Counted() { return ++values_ <= mostValues_; }

    bool Add(nlohmann::json value) {
        if (skipDepth_ > 0)
            return true;
        if (skipNext_) {
            skipNext_ = false;
            return true;
        }
        if (!Counted())
            return false;
        Place(std::move(value));
        return true;
    }

    bool Open(nlohmann::json container) {
        if (skipDepth_ > 0 || skipNext_) {
            skipNext_ = false;
            ++skipDepth_;
            return true;
        }
        if (!Counted())
            return false;
        open_.push_back(Place(std::move(container)));
        return true;
    }

    bool Close() {
        if (skipDepth_ > 0) {
            --skipDepth_;
        } else {
            open_.pop_back();
        }
        return true;
    }

    const KeepMember& keep_;
    std::size_t mostValues_;
    nlohmann::json root_;
    std::vector<nlohmann::json*> open_;  // the containers being read, outermost first
    std::string member_;                 // the name of the member whose value comes next
    bool skipNext_ = false;              // the next value belongs to a member left out
    std::size_t skipDepth_ = 0;          // containers open inside one left out
    std::size_t values_ = 0;
};

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

std::optional<nlohmann::json> ParseJsonAsQtDid(std::string_view text, const KeepMember& keep,
                                               std::size_t mostValues) {
    const auto strict = StrictJson(text);
    if (!strict)
        return std::nullopt;
    KeptMembersDocument document(keep, mostValues);
    if (!nlohmann::json::sax_parse(*strict, &document))
        return std::nullopt;
    return std::move(document).Document();
}

}  // namespace bladeway
