#pragma once
// The character a spreadsheet of the user's own settings expects between the
// fields of a CSV file: a comma, unless the system's regional settings say
// otherwise (a semicolon where the comma is the decimal mark, as in much of
// Europe, on Windows).

namespace bladeway::native {

char ListSeparator();

}  // namespace bladeway::native
