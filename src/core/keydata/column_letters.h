#pragma once
// The grid's column headings: A to Z, then AA, AB and so on, as every
// spreadsheet names its columns. Reports name keys by them too.
#include <string>

namespace bladeway {

// The letters of a column counted from 1; empty for 0 and below.
std::string ColumnLetters(int column);

}  // namespace bladeway
