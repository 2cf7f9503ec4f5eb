#include "core/platform/decimal_text.h"

#include <clocale>

#include <gtest/gtest.h>

namespace bladeway {
namespace {

TEST(FormatKeyValue, KeepsAtMostThreeDecimalsWithoutTrailingZeros) {
    EXPECT_EQ(FormatKeyValue("1.5"), "1.5");
    EXPECT_EQ(FormatKeyValue("2.000"), "2");
    EXPECT_EQ(FormatKeyValue("0.25"), "0.25");
    EXPECT_EQ(FormatKeyValue(".25"), "0.25");
    EXPECT_EQ(FormatKeyValue("12"), "12");
    EXPECT_EQ(FormatKeyValue("+3.10"), "3.1");
}

TEST(FormatKeyValue, RoundsHalvesAwayFromZeroOnTheDecimalDigits) {
    // A binary double holds 1.0005 as 1.000499999..., which would round down.
    EXPECT_EQ(FormatKeyValue("1.0005"), "1.001");
    EXPECT_EQ(FormatKeyValue("-2.0005"), "-2.001");
    EXPECT_EQ(FormatKeyValue("1.00049"), "1");
    EXPECT_EQ(FormatKeyValue("9.9995"), "10");
    EXPECT_EQ(FormatKeyValue("0.0004"), "0");
}

TEST(FormatKeyValue, ReadsBlanksSignsAndExponents) {
    EXPECT_EQ(FormatKeyValue("  7.25  "), "7.25");
    EXPECT_EQ(FormatKeyValue("1.5E2"), "150");
    EXPECT_EQ(FormatKeyValue("15e-3"), "0.015");
    EXPECT_EQ(FormatKeyValue("-0.5"), "-0.5");
}

TEST(FormatKeyValue, RefusesWhatIsNotANumber) {
    EXPECT_EQ(FormatKeyValue(""), std::nullopt);
    EXPECT_EQ(FormatKeyValue("abc"), std::nullopt);
    EXPECT_EQ(FormatKeyValue("1.2.3"), std::nullopt);
    EXPECT_EQ(FormatKeyValue("1,5"), std::nullopt);
    EXPECT_EQ(FormatKeyValue("."), std::nullopt);
    EXPECT_EQ(FormatKeyValue("1e999999999999"), std::nullopt);
}

TEST(NumericValue, ReadsLeadingNumberWhateverTheLocale) {
    EXPECT_DOUBLE_EQ(NumericValue("  12.5mm"), 12.5);
    EXPECT_DOUBLE_EQ(NumericValue("-.75"), -0.75);
    EXPECT_DOUBLE_EQ(NumericValue("x1"), 0.0);
    // A comma-decimal locale must not change the reading.
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr) {
        EXPECT_DOUBLE_EQ(NumericValue("3.25"), 3.25);
        std::setlocale(LC_NUMERIC, "C");
    }
}

TEST(FormatShortDecimal, WritesTheShortestFormWithoutLeadingZero) {
    EXPECT_EQ(FormatShortDecimal(0.5), ".5");
    EXPECT_EQ(FormatShortDecimal(-0.25), "-.25");
    EXPECT_EQ(FormatShortDecimal(12.0), "12");
    EXPECT_EQ(FormatShortDecimal(-0.0), "0");
    EXPECT_EQ(FormatShortDecimal(3.125), "3.125");
    EXPECT_EQ(FormatShortDecimal(1e20), "1E+20");
    EXPECT_EQ(FormatShortDecimal(1e-7), "1E-07");
}

}  // namespace
}  // namespace bladeway
