#include "core/platform/local_date.h"

#include <ctime>

#include <gtest/gtest.h>

namespace bladeway {
namespace {

TEST(FormatMonthDayYear, TwoDigitsEachSeparatedBySlashes) {
    EXPECT_EQ(FormatMonthDayYear(2001, 12, 31), "12/31/01");
    EXPECT_EQ(FormatMonthDayYear(2024, 7, 4), "07/04/24");
    EXPECT_EQ(FormatMonthDayYear(1999, 1, 9), "01/09/99");
    EXPECT_EQ(FormatMonthDayYear(2100, 2, 1), "02/01/00");
}

TEST(TodayMonthDayYear, IsTheLocalDate) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::string today = TodayMonthDayYear();
    EXPECT_TRUE(IsMonthDayYear(today)) << today;
    EXPECT_EQ(std::stoi(today.substr(0, 2)), local.tm_mon + 1);
    EXPECT_EQ(std::stoi(today.substr(6, 2)), local.tm_year % 100);
}

TEST(IsMonthDayYear, TakesOnlyCalendarDatesInTheFixedShape) {
    EXPECT_TRUE(IsMonthDayYear("12/31/01"));
    EXPECT_TRUE(IsMonthDayYear("02/29/00"));
    EXPECT_TRUE(IsMonthDayYear("01/01/99"));
    EXPECT_FALSE(IsMonthDayYear("13/01/01"));
    EXPECT_FALSE(IsMonthDayYear("00/10/01"));
    EXPECT_FALSE(IsMonthDayYear("04/31/01"));
    EXPECT_FALSE(IsMonthDayYear("04/00/01"));
    EXPECT_FALSE(IsMonthDayYear("4/1/01"));
    EXPECT_FALSE(IsMonthDayYear("04-01-01"));
    EXPECT_FALSE(IsMonthDayYear("04/01/2001"));
    EXPECT_FALSE(IsMonthDayYear("0a/01/01"));
    EXPECT_FALSE(IsMonthDayYear(""));
}

}  // namespace
}  // namespace bladeway
