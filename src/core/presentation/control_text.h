#pragma once

// A control of a window that lays itself out (its table or text grows with
// the window, so it has no designed place): the name a user, a test or a tool
// finds it by, its caption and its tip. Each such window's model lists them in
// the order the window shows them; windows of fixed places use ControlPlace
// (twips.h) instead.

#include <cstdint>
#include <string_view>

namespace bladeway {

struct ControlText {
    std::string_view objectName;
    std::string_view caption = {};  // empty where the model fills in the text
    std::string_view tip = {};
};

// A colour that every front end paints alike (a tint that marks a row, the
// colour of a kind of G-code word).
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

}  // namespace bladeway
