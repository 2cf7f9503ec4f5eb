#include "core/keydata/column_letters.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "core/text/text.h"

namespace bladeway {
namespace {

constexpr int kLetterCount = 26;

}  // namespace

// Counting in base 26 with digits 1 to 26 (A to Z) and no zero.
std::string ColumnLetters(int column) {
    std::string letters;
    for (int rest = column; rest > 0; rest = (rest - 1) / kLetterCount)
        letters.push_back(static_cast<char>('A' + (rest - 1) % kLetterCount));
    std::reverse(letters.begin(), letters.end());
    return letters;
}

std::optional<int> ColumnOfLetters(std::string_view letters) {
    if (letters.empty())
        return std::nullopt;
    std::int64_t column = 0;
    for (const char c : letters) {
        const char upper = ToUpperAscii(c);
        if (upper < 'A' || upper > 'Z')
            return std::nullopt;
        column = column * kLetterCount + (upper - 'A' + 1);
        // Checked at every letter, so that a long text cannot overflow.
        if (column > std::numeric_limits<int>::max())
            return std::nullopt;
    }
    return static_cast<int>(column);
}

}  // namespace bladeway
