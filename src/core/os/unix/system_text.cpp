#include "core/os/system_text.h"

#include <system_error>

#include "core/text/name_order.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

constexpr char32_t kHighSurrogates = 0xD800;
constexpr char32_t kLowSurrogates = 0xDC00;
constexpr char32_t kPastSurrogates = 0xE000;
constexpr char32_t kFirstOutsideTheBasicPlane = 0x10000;

bool IsHighSurrogate(char32_t c) {
    return c >= kHighSurrogates && c < kLowSurrogates;
}

bool IsLowSurrogate(char32_t c) {
    return c >= kLowSurrogates && c < kPastSurrogates;
}

}  // namespace

std::optional<std::u16string> Utf16FromUtf8(std::string_view utf8) {
    if (!IsValidUtf8(utf8))
        return std::nullopt;
    std::u16string utf16;
    utf16.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        char32_t c = NextUtf8Character(utf8, at);
        if (c >= kFirstOutsideTheBasicPlane) {
            c -= kFirstOutsideTheBasicPlane;
            utf16 += static_cast<char16_t>(kHighSurrogates + (c >> 10));
            utf16 += static_cast<char16_t>(kLowSurrogates + (c & 0x3FF));
        } else {
            utf16 += static_cast<char16_t>(c);
        }
    }
    return utf16;
}

std::string Utf8FromUtf16(std::u16string_view utf16) {
    std::string utf8;
    for (std::size_t at = 0; at < utf16.size(); ++at) {
        char32_t c = utf16[at];
        if (IsHighSurrogate(c) && at + 1 < utf16.size() && IsLowSurrogate(utf16[at + 1])) {
            c = kFirstOutsideTheBasicPlane + ((c - kHighSurrogates) << 10) +
                (utf16[at + 1] - kLowSurrogates);
            ++at;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            c = 0xFFFD;
        }
        AppendUtf8(utf8, c);
    }
    return utf8;
}

std::string SystemErrorText(unsigned long error) {
    return std::generic_category().message(static_cast<int>(error));
}

}  // namespace bladeway
