#include "core/gcode/address_value.h"

#include <clocale>

#include <gtest/gtest.h>

namespace bladeway {
namespace {

TEST(ReadAddressValue, RunsUpToTheNextCapitalLetterOrAt) {
    EXPECT_EQ(ReadAddressValue("X0.25Y1", 2), "0.25");
    EXPECT_EQ(ReadAddressValue("G00X0Y0Z5T1M6", 9), "5");
    EXPECT_EQ(ReadAddressValue("A1@B2", 2), "1");
    EXPECT_EQ(ReadAddressValue("A1[B2", 2), "1[");  // "[" (91) lies past "Z"
    EXPECT_EQ(ReadAddressValue("A1?B2", 2), "1?");  // "?" (63) lies before "@"
}

TEST(ReadAddressValue, KeepsDigitsSignsBlanksAndSmallLetters) {
    EXPECT_EQ(ReadAddressValue("X-1.5 e+2 mmY3", 2), "-1.5 e+2 mm");
}

TEST(ReadAddressValue, GivesTheRestOrNothingAtTheEnd) {
    EXPECT_EQ(ReadAddressValue("A1.5", 2), "1.5");
    EXPECT_EQ(ReadAddressValue("A1.5", 5), "");
    EXPECT_EQ(ReadAddressValue("A1.5", 6), "");
    EXPECT_EQ(ReadAddressValue("", 1), "");
    EXPECT_EQ(ReadAddressValue("AB", 2), "");
}

TEST(ReadAddressValue, StartOneReadsWhatStandsBeforeTheFirstCapital) {
    EXPECT_EQ(ReadAddressValue("00X1", 1), "00");
    EXPECT_EQ(ReadAddressValue("G00X1", 1), "");
}

TEST(FormatAxisValue, FlatModeKeepsTheValueUnchanged) {
    EXPECT_EQ(FormatAxisValue("0.500", true), "0.500");
    EXPECT_EQ(FormatAxisValue("1.5mm", true), "1.5mm");
}

TEST(FormatAxisValue, TreeModeWritesTheShortestNumber) {
    EXPECT_EQ(FormatAxisValue("0.5", false), ".5");
    EXPECT_EQ(FormatAxisValue("0.500", false), ".5");
    EXPECT_EQ(FormatAxisValue("-0.25", false), "-.25");
    EXPECT_EQ(FormatAxisValue("2.500", false), "2.5");
    EXPECT_EQ(FormatAxisValue("3.000", false), "3");
    EXPECT_EQ(FormatAxisValue("31.5", false), "31.5");
    EXPECT_EQ(FormatAxisValue("123456.789012345678", false), "123456.789012346");
    EXPECT_EQ(FormatAxisValue("abc", false), "0");
}

TEST(FormatAxisValue, TreeModeIgnoresTheLocale) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no comma-decimal locale installed";
    }
    EXPECT_EQ(FormatAxisValue("1.25", false), "1.25");
    std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace bladeway
