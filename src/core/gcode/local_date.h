#pragma once
// Today's date as index entries hold it.
#include <string>
#include <string_view>

namespace bladeway {

// "MM/DD/YY" with two digits each: month, day of the month, year of the century.
std::string FormatMonthDayYear(int year, int month, int day);

// Today on the local clock as "MM/DD/YY".
std::string TodayMonthDayYear();

// True when `text` is a date "MM/DD/YY" that exists on a calendar (any year
// of the century, so 02/29/00 counts).
bool IsMonthDayYear(std::string_view text);

}  // namespace bladeway
