#include "cli/key_columns.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "core/keydata/column_letters.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

// Far beyond any key data file, small enough for an int.
constexpr int kColumnLimit = 100'000'000;

// One end of an item: a column number, or the column's letters in the grid.
Expected<int> ParseColumn(std::string_view text, std::string_view item) {
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    const bool isNumber = !text.empty() && error == std::errc{} && end == text.data() + text.size();
    const std::optional<int> column = isNumber ? number : ColumnOfLetters(text);
    if (!column || *column < 1 || *column > kColumnLimit) {
        return Failure{"--keys: '" + std::string(item) +
                       "' is not a key column or range (columns count from 1, as 2 or 5-7, or "
                       "go by the grid's letters, as B or E-G)"};
    }
    return *column;
}

}  // namespace

Expected<KeyColumns> KeyColumns::Parse(std::string_view list) {
    KeyColumns columns;
    std::size_t start = 0;
    while (true) {
        const auto comma = list.find(',', start);
        const std::string_view item = TrimSpaces(list.substr(start, comma - start));
        const auto dash = item.find('-');
        const auto first = ParseColumn(TrimSpaces(item.substr(0, dash)), item);
        if (!first)
            return Failure{first.error()};
        int last = first.value();
        if (dash != std::string_view::npos) {
            const auto parsedLast = ParseColumn(TrimSpaces(item.substr(dash + 1)), item);
            if (!parsedLast)
                return Failure{parsedLast.error()};
            last = parsedLast.value();
            if (last < first.value()) {
                return Failure{"--keys: range '" + std::string(item) + "' runs backwards"};
            }
        }
        columns.ranges_.emplace_back(first.value(), last);
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return columns;
}

int KeyColumns::LastColumn() const {
    int last = 0;
    for (const auto& range : ranges_)
        last = std::max(last, range.second);
    return last;
}

bool KeyColumns::IsCellSelected(int column, int row) const {
    return row == 1 && std::any_of(ranges_.begin(), ranges_.end(), [column](const auto& range) {
               return column >= range.first && column <= range.second;
           });
}

}  // namespace bladeway
