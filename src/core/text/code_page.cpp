#include "core/text/code_page.h"

#include <array>
#include <cstdint>

#include "core/text/text.h"

namespace bladeway {

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest map to themselves.
constexpr std::array<char32_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char EncodeCodePoint(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<char>(c);
    }
    for (std::size_t i = 0; i < kHighControlRange.size(); ++i) {
        if (kHighControlRange[i] == c) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

}  // namespace

std::string DecodeWindows1252(std::string_view bytes) {
    std::string utf8;
    utf8.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        if (value < 0x80) {
            utf8 += byte;
        } else if (value < 0xA0) {
            AppendUtf8(utf8, kHighControlRange[value - 0x80]);
        } else {
            AppendUtf8(utf8, value);
        }
    }
    return utf8;
}

std::string EncodeWindows1252(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = 0;
        char32_t c = lead;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC0 && lead < 0xE0) {
            length = 2;
            c = lead & 0x1FU;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            length = 3;
            c = lead & 0x0FU;
        } else if (lead >= 0xF0 && lead < 0xF8) {
            length = 4;
            c = lead & 0x07U;
        } else {
            bytes += '?';  // a stray continuation byte or no UTF-8 lead at all
            ++i;
            continue;
        }
        bool valid = i + length <= utf8.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0U) == 0x80;
            c = (c << 6) | (next & 0x3FU);
        }
        if (!valid) {
            bytes += '?';
            ++i;
            continue;
        }
        bytes += EncodeCodePoint(c);
        i += length;
    }
    return bytes;
}

}  // namespace bladeway
