#include "core/text/name_order.h"

#include <algorithm>
#include <utility>

namespace bladeway {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The small letter of a capital of Windows-1252; any other character as it is.
char32_t FoldedCase(char32_t c) {
    constexpr char32_t kCaseDistance = 0x20;
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + kCaseDistance;
    switch (c) {
        case 0x160:  // S caron
        case 0x152:  // ligature OE
        case 0x17D:  // Z caron
            return c + 1;
        case 0x178:  // Y diaeresis
            return 0xFF;
        default:
            return c;
    }
}

std::u32string SortKey(std::string_view name) {
    std::u32string key;
    for (std::size_t at = 0; at < name.size();)
        key.push_back(FoldedCase(NextUtf8Character(name, at)));
    return key;
}

}  // namespace

char32_t NextUtf8Character(std::string_view text, std::size_t& at) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(at++);
    if (first < 0x80)
        return first;
    std::size_t following = 0;
    char32_t character = 0;
    if (first >= 0xC2 && first <= 0xDF) {
        following = 1;
        character = first & 0x1FU;
    } else if (first >= 0xE0 && first <= 0xEF) {
        following = 2;
        character = first & 0x0FU;
    } else if (first >= 0xF0 && first <= 0xF4) {
        following = 3;
        character = first & 0x07U;
    } else {
        return kReplacement;
    }
    if (at + following > text.size())
        return kReplacement;
    for (std::size_t i = 0; i < following; ++i) {
        if ((byte(at + i) & 0xC0U) != 0x80U)
            return kReplacement;
        character = (character << 6) | (byte(at + i) & 0x3FU);
    }
    at += following;
    return character;
}

std::vector<std::string> SortedNames(std::vector<std::string> names) {
    std::vector<std::pair<std::u32string, std::string>> keyed;
    keyed.reserve(names.size());
    for (std::string& name : names)
        keyed.emplace_back(SortKey(name), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    names.clear();
    for (auto& [key, name] : keyed)
        names.push_back(std::move(name));
    return names;
}

}  // namespace bladeway
