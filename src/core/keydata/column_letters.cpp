#include "core/keydata/column_letters.h"

#include <algorithm>

namespace bladeway {

std::string ColumnLetters(int column) {
    std::string letters;
    for (int rest = column; rest > 0; rest = (rest - 1) / 26)
        letters += static_cast<char>('A' + (rest - 1) % 26);
    std::reverse(letters.begin(), letters.end());
    return letters;
}

}  // namespace bladeway
