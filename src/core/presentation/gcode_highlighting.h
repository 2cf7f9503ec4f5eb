#pragma once

// How a G-code program is coloured for reading: a ~R variable line whole,
// comments in parentheses, address letters, and the numbers after them. Every
// front end colours a line from the same ranges and styles.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/presentation/control_text.h"

namespace bladeway {

enum class GcodeWord : std::uint8_t { kAddress, kNumber, kComment, kVariable };

struct GcodeStyle {
    Rgb colour;
    bool bold = false;
    bool italic = false;
};

// The style of each kind, in the order of GcodeWord.
inline constexpr std::array<GcodeStyle, 4> kGcodeStyles = {{
    {{0x1f, 0x4e, 0xa8}, /*bold=*/true, /*italic=*/false},  // address
    {{0x8a, 0x3b, 0x00}},                                   // number
    {{0x3a, 0x7d, 0x2c}, /*bold=*/false, /*italic=*/true},  // comment
    {{0x7a, 0x2e, 0x9e}},                                   // variable
}};

constexpr const GcodeStyle& StyleOf(GcodeWord word) {
    return kGcodeStyles.at(static_cast<std::size_t>(word));
}

// A run of characters of one kind, counted in characters from the line's
// start. A program's Windows-1252 bytes decode to one character each, so the
// counts hold for the bytes and for the decoded text alike.
struct GcodeRange {
    std::size_t start = 0;
    std::size_t length = 0;
    GcodeWord word = GcodeWord::kAddress;
    friend constexpr bool operator==(const GcodeRange&, const GcodeRange&) = default;
};

// The coloured ranges of one line of a program (Windows-1252, without its
// line end), in order. A line starting "~R" is a variable line, whole.
// Otherwise a "(" opens a comment up to and with the next ")", or to the end
// of the line; a letter is an address; a run of digits, ".", "-" and "+" is a
// number; anything else stays plain.
std::vector<GcodeRange> GcodeHighlights(std::string_view line);

}  // namespace bladeway
