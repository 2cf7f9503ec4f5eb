#pragma once

// A text field of a fixed number of characters: a new field holds NUL
// characters; assigning cuts the text to the width or pads it on the right
// with spaces.

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace bladeway {

template <std::size_t Width>
class FixedText {
  public:
    FixedText() = default;
    explicit FixedText(std::string_view text) { Assign(text); }

    FixedText& operator=(std::string_view text) {
        Assign(text);
        return *this;
    }

    void Assign(std::string_view text) {
        const std::size_t kept = std::min(text.size(), Width);
        std::copy_n(text.begin(), kept, chars_.begin());
        std::fill(chars_.begin() + static_cast<std::ptrdiff_t>(kept), chars_.end(), ' ');
    }

    // Every `oldChar` becomes `newChar`, in place.
    void Replace(char oldChar, char newChar) {
        std::replace(chars_.begin(), chars_.end(), oldChar, newChar);
    }

    std::string_view View() const { return {chars_.data(), Width}; }

    friend bool operator==(const FixedText&, const FixedText&) = default;

  private:
    std::array<char, Width> chars_{};
};

}  // namespace bladeway
