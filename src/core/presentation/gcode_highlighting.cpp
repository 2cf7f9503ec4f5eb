#include "core/presentation/gcode_highlighting.h"

namespace bladeway {
namespace {

// The letters of Windows-1252, as Unicode classes the characters they decode
// to: the ASCII letters, ƒ, the modifier letter ˆ, Š, Œ, Ž, š, œ, ž, Ÿ, the
// ordinal indicators ª and º, µ, and the accented letters from À to ÿ but for
// × and ÷.
bool IsLetter(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
        return true;
    switch (c) {
        case 0x83:
        case 0x88:
        case 0x8A:
        case 0x8C:
        case 0x8E:
        case 0x9A:
        case 0x9C:
        case 0x9E:
        case 0x9F:
        case 0xAA:
        case 0xB5:
        case 0xBA:
            return true;
        default:
            return c >= 0xC0 && c != 0xD7 && c != 0xF7;
    }
}

bool IsNumberCharacter(char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+';
}

}  // namespace

std::vector<GcodeRange> GcodeHighlights(std::string_view line) {
    if (line.starts_with("~R"))
        return {{0, line.size(), GcodeWord::kVariable}};
    std::vector<GcodeRange> ranges;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == '(') {
            const std::size_t close = line.find(')', i);
            const std::size_t end = close == std::string_view::npos ? line.size() : close + 1;
            ranges.push_back({i, end - i, GcodeWord::kComment});
            i = end;
        } else if (IsLetter(static_cast<unsigned char>(c))) {
            ranges.push_back({i, 1, GcodeWord::kAddress});
            ++i;
        } else if (IsNumberCharacter(c)) {
            const std::size_t start = i;
            while (i < line.size() && IsNumberCharacter(line[i]))
                ++i;
            ranges.push_back({start, i - start, GcodeWord::kNumber});
        } else {
            ++i;
        }
    }
    return ranges;
}

}  // namespace bladeway
