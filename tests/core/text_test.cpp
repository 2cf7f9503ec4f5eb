// The byte-text and number helpers every rule builds on.
#include "core/platform/text.h"

#include <clocale>
#include <ctime>
#include <filesystem>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "core/platform/code_page.h"
#include "core/platform/decimal_text.h"
#include "core/platform/fixed_text.h"
#include "core/platform/local_date.h"
#include "core/platform/paths.h"
#include "core/platform/twips.h"
#include "support/case_table.h"

namespace bladeway {
namespace {

using testing::ExpectEach;

// Every piece ParseString hands out, with the position after it, until it
// reports the end (position 0).
std::vector<std::pair<std::string, std::int64_t>> AllPieces(std::string_view text, char delimiter,
                                                            std::int64_t position = 1) {
    std::vector<std::pair<std::string, std::int64_t>> pieces;
    while (position != 0) {
        const std::string_view piece = ParseString(position, text, delimiter);
        pieces.emplace_back(piece, position);
    }
    return pieces;
}
using Pieces = std::vector<std::pair<std::string, std::int64_t>>;

TEST(ParseString, HandsOutPiecesThenTheTailThenReportsTheEnd) {
    // After the last piece the position stands one beyond the end, not at 0.
    EXPECT_EQ(AllPieces("AB|CD", '|'), (Pieces{{"AB", 4}, {"CD", 6}, {"", 0}}));
    EXPECT_EQ(AllPieces("AB!", '!'), (Pieces{{"AB", 4}, {"", 0}}));
    EXPECT_EQ(AllPieces("a!b!tail", '!'), (Pieces{{"a", 3}, {"b", 5}, {"tail", 9}, {"", 0}}));
    EXPECT_EQ(AllPieces("!!", '!'), (Pieces{{"", 2}, {"", 3}, {"", 0}}));
    EXPECT_EQ(AllPieces(std::string_view("x\0y", 3), '\0'), (Pieces{{"x", 3}, {"y", 4}, {"", 0}}));
    for (const std::int64_t start : {7, -3})
        EXPECT_EQ(AllPieces("abc", '!', start), (Pieces{{"", 0}})) << start;
    EXPECT_EQ(AllPieces("", '!'), (Pieces{{"", 0}}));
}

TEST(TextHelpers, SearchReplaceTrimAndCase) {
    EXPECT_EQ(QInstrB2(-1, "C:\\Apps\\Tool\\Tool.exe", "\\"), 13);
    EXPECT_EQ(QInstrB2(-1, "Tool.exe", "\\"), 0);
    EXPECT_EQ(QInstrB2(-1, "abcabc", "bc"), 5);
    EXPECT_EQ(QInstrB2(4, "abcabc", "bc"), 2);
    EXPECT_EQ(QInstrB2(-1, "", "x"), 0);
    std::string text = "(A)(B)";
    ReplaceChar(text, '(', '[');
    EXPECT_EQ(text, "[A)[B)");
    // Only code 32 counts as a space.
    ExpectEach(TrimSpaces, {{"  a b  ", "a b"}, {"\t a \t", "\t a \t"}, {"    ", ""}});
    EXPECT_EQ(TrimLeadingSpaces("   [x "), "[x ");
    EXPECT_EQ(ToUpperAscii("harbor62\xe9z"), "HARBOR62\xe9Z");
    EXPECT_TRUE(EqualsIgnoringCase("Positions", "pOSITIONS"));
    EXPECT_FALSE(EqualsIgnoringCase("Position", "Positions"));
    EXPECT_FALSE(EqualsIgnoringCase("\xe9", "\xc9"));
}

TEST(LeadingNumberValue, TakesTheLeadingNumberSkippingBlanks) {
    // clang-format off
    ExpectEach<std::string_view, double>(LeadingNumberValue, {
        {" 1", 1.0}, {"507.25", 507.25}, {"1 2 3abc", 123.0}, {"- 2.5", -2.5}, {"1.5E2x", 150.0},
        {".5", 0.5}, {"1e", 1.0}, {"abc", 0.0}, {"", 0.0}, {"1,5", 1.0}});
    // clang-format on
}

TEST(RoundHalfEven, HalvesToTheEvenNeighbourSaturatingAndNanToZero) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    // clang-format off
    ExpectEach<double, std::int64_t>(RoundHalfEven, {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {-1.5, -2}, {2.6, 3}, {1e300, kMax}, {-1e300, kMin},
        {std::numeric_limits<double>::quiet_NaN(), 0}});
    // clang-format on
    ExpectEach<std::int64_t, std::int16_t>(SaturateToInt16,
                                           {{40000, 32767}, {-40000, -32768}, {-5, -5}});
}

TEST(FormatKeyValue, ThreeDecimalsHalvesAwayFromZeroOnTheDecimalDigits) {
    // A binary double holds 1.0005 as 1.000499999..., which would round down.
    // clang-format off
    ExpectEach(FormatKeyValue, {
        {"1.5", "1.5"}, {"2.000", "2"}, {"0.25", "0.25"}, {".25", "0.25"}, {"12", "12"},
        {"+3.10", "3.1"}, {"1.0005", "1.001"}, {"-2.0005", "-2.001"}, {"1.00049", "1"},
        {"9.9995", "10"}, {"0.0004", "0"}, {"  7.25  ", "7.25"}, {"1.5E2", "150"},
        {"15e-3", "0.015"}, {"-0.5", "-0.5"}});
    // clang-format on
    for (const std::string_view bad : {"", "abc", "1.2.3", "1,5", ".", "1e999999999999"})
        EXPECT_EQ(FormatKeyValue(bad), std::nullopt) << bad;
}

TEST(NumericValue, ReadsLeadingNumberWhateverTheLocale) {
    ExpectEach<std::string_view, double>(NumericValue,
                                         {{"  12.5mm", 12.5}, {"-.75", -0.75}, {"x1", 0.0}});
    // A comma-decimal locale must not change the reading.
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr) {
        EXPECT_DOUBLE_EQ(NumericValue("3.25"), 3.25);
        std::setlocale(LC_NUMERIC, "C");
    }
}

TEST(FormatShortDecimal, WritesTheShortestFormWithoutLeadingZero) {
    // clang-format off
    ExpectEach<double>(FormatShortDecimal, {
        {0.5, ".5"}, {-0.25, "-.25"}, {12.0, "12"}, {-0.0, "0"}, {3.125, "3.125"},
        {1e20, "1E+20"}, {1e-7, "1E-07"}});
    // clang-format on
}

TEST(FixedText, StartsAsNulsThenCutsOrPadsWithSpaces) {
    FixedText<5> field;
    EXPECT_EQ(field.View(), std::string(5, '\0'));
    field = "ABCDEFG";
    EXPECT_EQ(field.View(), "ABCDE");
    field = "(X)";  // a shorter text clears the old tail
    EXPECT_EQ(field.View(), "(X)  ");
    field.Replace('(', '[');
    field.Replace(')', ']');
    EXPECT_EQ(field.View(), "[X]  ");
    field = "";
    EXPECT_EQ(field.View(), "     ");
}

TEST(Windows1252, DecodesEncodesAndSurvivesARoundTrip) {
    EXPECT_EQ(DecodeWindows1252("Ni\xf1o \x80"), "Ni\xc3\xb1o \xe2\x82\xac");
    // Undefined bytes become controls of the same value.
    EXPECT_EQ(DecodeWindows1252("\x81"), "\xc2\x81");
    EXPECT_EQ(EncodeWindows1252("\xc2\x81"), "\x81");
    EXPECT_EQ(EncodeWindows1252("\xe4\xb8\xad"), "?");  // outside the code page
    EXPECT_EQ(EncodeWindows1252("\xff"), "?");          // not UTF-8 at all
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    EXPECT_EQ(EncodeWindows1252(DecodeWindows1252(all)), all);
}

TEST(MonthDayYear, FormatTodayAndValidation) {
    EXPECT_EQ(FormatMonthDayYear(2001, 12, 31), "12/31/01");
    EXPECT_EQ(FormatMonthDayYear(1999, 1, 9), "01/09/99");
    EXPECT_EQ(FormatMonthDayYear(2100, 2, 1), "02/01/00");
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::string today = TodayMonthDayYear();
    EXPECT_TRUE(IsMonthDayYear(today)) << today;
    EXPECT_EQ(std::stoi(today.substr(0, 2)), local.tm_mon + 1);
    EXPECT_EQ(std::stoi(today.substr(6, 2)), local.tm_year % 100);
    // clang-format off
    ExpectEach<std::string_view, bool>(IsMonthDayYear, {
        {"12/31/01", true}, {"02/29/00", true}, {"01/01/99", true}, {"13/01/01", false},
        {"00/10/01", false}, {"04/31/01", false}, {"04/00/01", false}, {"4/1/01", false},
        {"04-01-01", false}, {"04/01/2001", false}, {"0a/01/01", false}, {"", false}});
    // clang-format on
}

TEST(Paths, RunningProgramAndJoins) {
    const std::string sep(1, kPathSeparator);
    const std::filesystem::path exe = ExeName();
    EXPECT_TRUE(exe.is_absolute());
    EXPECT_EQ(exe.filename(), "platform_tests");
    EXPECT_EQ(JoinPath("tmp", "P1"), "tmp" + sep + "P1");
    EXPECT_EQ(JoinPath("tmp" + sep, "P1"), "tmp" + sep + sep + "P1");  // always one more
    EXPECT_EQ(JoinPathOnce("keys", "a.dat"), "keys" + sep + "a.dat");
    EXPECT_EQ(JoinPathOnce("keys" + sep, "a.dat"), "keys" + sep + "a.dat");
    EXPECT_EQ(NativeSeparators("SRG\\01\\P1"), "SRG" + sep + "01" + sep + "P1");
}

TEST(Twips, NearestPixelOnBothSidesOfZero) {
    // clang-format off
    ExpectEach<std::int64_t, std::int64_t>([](std::int64_t twips) { return TwipsToPixels(twips); }, {
        {15, 1}, {5730, 382}, {7, 0}, {8, 1}, {200, 13}, {5654, 377}, {-7, 0}, {-8, -1},
        {-600, -40}});
    // clang-format on
    EXPECT_EQ(PixelsToTwips(382), 5730);
}

}  // namespace
}  // namespace bladeway
