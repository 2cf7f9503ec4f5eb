#pragma once
// The letters the key grid heads its columns with, as spreadsheets name
// theirs: A to Z, then AA, AB ... AZ, BA ... ZZ, AAA and so on. Columns count
// from 1. The desktop program shows them; the command-line tool takes them
// in `--keys`.
#include <optional>
#include <string>
#include <string_view>

namespace bladeway {

// The letters of `column`: "A" for 1, "Z" for 26, "AA" for 27; empty for a
// column below 1.
std::string ColumnLetters(int column);

// The column that `letters` name, in any letter case. None for an empty
// text, anything but the letters A to Z, or a column no int can hold.
std::optional<int> ColumnOfLetters(std::string_view letters);

}  // namespace bladeway
