#include "core/platform/text.h"

#include <limits>
#include <vector>

#include <gtest/gtest.h>

namespace bladeway {
namespace {

// Every piece ParseString hands out until it reports the end.
std::vector<std::string> AllPieces(std::string_view text, char delimiter, std::int64_t start = 1) {
    std::vector<std::string> pieces;
    std::int64_t position = start;
    for (;;) {
        const std::string_view piece = ParseString(position, text, delimiter);
        if (position == 0)
            break;
        pieces.emplace_back(piece);
    }
    return pieces;
}

TEST(ParseString, ReturnsTextUpToDelimiterAndMovesPastIt) {
    std::int64_t position = 1;
    EXPECT_EQ(ParseString(position, "AB|CD", '|'), "AB");
    EXPECT_EQ(position, 4);
    EXPECT_EQ(ParseString(position, "AB|CD", '|'), "CD");
    EXPECT_EQ(position, 6);  // one beyond the end, not 0
    EXPECT_EQ(ParseString(position, "AB|CD", '|'), "");
    EXPECT_EQ(position, 0);
}

TEST(ParseString, DelimiterAsLastCharacterLeavesPositionOneBeyondEnd) {
    std::int64_t position = 1;
    EXPECT_EQ(ParseString(position, "AB!", '!'), "AB");
    EXPECT_EQ(position, 4);
    EXPECT_EQ(ParseString(position, "AB!", '!'), "");
    EXPECT_EQ(position, 0);
}

TEST(ParseString, TailAfterLastDelimiterIsHandedOutOnceBeforeTheEnd) {
    EXPECT_EQ(AllPieces("a!b!tail", '!'), (std::vector<std::string>{"a", "b", "tail"}));
    EXPECT_EQ(AllPieces("!!", '!'), (std::vector<std::string>{"", ""}));
}

TEST(ParseString, PositionBeyondOrBeforeTheTextReportsTheEnd) {
    std::int64_t position = 7;
    EXPECT_EQ(ParseString(position, "abc", '!'), "");
    EXPECT_EQ(position, 0);
    position = 1;
    EXPECT_EQ(ParseString(position, "", '!'), "");
    EXPECT_EQ(position, 0);
    position = -3;
    EXPECT_EQ(ParseString(position, "abc", '!'), "");
    EXPECT_EQ(position, 0);
}

TEST(ParseString, NulIsAnOrdinaryDelimiter) {
    const std::string text("x\0y", 3);
    EXPECT_EQ(AllPieces(text, '\0'), (std::vector<std::string>{"x", "y"}));
}

TEST(QInstrB2, FindsLastOccurrenceOneBased) {
    EXPECT_EQ(QInstrB2(-1, "C:\\Apps\\Tool\\Tool.exe", "\\"), 13);
    EXPECT_EQ(QInstrB2(-1, "Tool.exe", "\\"), 0);
    EXPECT_EQ(QInstrB2(-1, "abcabc", "bc"), 5);
    EXPECT_EQ(QInstrB2(4, "abcabc", "bc"), 2);
    EXPECT_EQ(QInstrB2(-1, "", "x"), 0);
}

TEST(ReplaceChar, ReplacesEveryOccurrenceKeepingLength) {
    std::string text = "(A)(B)";
    ReplaceChar(text, '(', '[');
    EXPECT_EQ(text, "[A)[B)");
}

TEST(Trimming, RemovesSpacesOnly) {
    EXPECT_EQ(TrimSpaces("  a b  "), "a b");
    EXPECT_EQ(TrimSpaces("\t a \t"), "\t a \t");
    EXPECT_EQ(TrimLeadingSpaces("   [x "), "[x ");
    EXPECT_EQ(TrimSpaces("    "), "");
}

TEST(UpperCase, ChangesAsciiLettersOnly) {
    EXPECT_EQ(ToUpperAscii("harbor62\xe9z"), "HARBOR62\xe9Z");
    EXPECT_TRUE(EqualsIgnoringCase("Positions", "pOSITIONS"));
    EXPECT_FALSE(EqualsIgnoringCase("Position", "Positions"));
    EXPECT_FALSE(EqualsIgnoringCase("\xe9", "\xc9"));
}

TEST(LeadingNumberValue, TakesTheLeadingNumberSkippingBlanks) {
    EXPECT_DOUBLE_EQ(LeadingNumberValue(" 1"), 1.0);
    EXPECT_DOUBLE_EQ(LeadingNumberValue("507.25"), 507.25);
    EXPECT_DOUBLE_EQ(LeadingNumberValue("1 2 3abc"), 123.0);
    EXPECT_DOUBLE_EQ(LeadingNumberValue("- 2.5"), -2.5);
    EXPECT_DOUBLE_EQ(LeadingNumberValue("1.5E2x"), 150.0);
    EXPECT_DOUBLE_EQ(LeadingNumberValue(".5"), 0.5);
    EXPECT_DOUBLE_EQ(LeadingNumberValue("1e"), 1.0);
    EXPECT_DOUBLE_EQ(LeadingNumberValue("abc"), 0.0);
    EXPECT_DOUBLE_EQ(LeadingNumberValue(""), 0.0);
    EXPECT_DOUBLE_EQ(LeadingNumberValue("1,5"), 1.0);
}

TEST(RoundHalfEven, RoundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(2.6), 3);
}

TEST(RoundHalfEven, SaturatesAndMapsNanToZero) {
    EXPECT_EQ(RoundHalfEven(1e300), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(RoundHalfEven(-1e300), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(SaturateToInt16(40000), 32767);
    EXPECT_EQ(SaturateToInt16(-40000), -32768);
    EXPECT_EQ(SaturateToInt16(-5), -5);
}

}  // namespace
}  // namespace bladeway
