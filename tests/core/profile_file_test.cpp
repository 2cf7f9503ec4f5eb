#include "core/settings/profile_file.h"

#include <gtest/gtest.h>

namespace bladeway {
namespace {

constexpr std::string_view kFile =
    "; Bladeway settings\r\n"
    "[Positions]\r\n"
    "MainHeight=507\r\n"
    "  MainTop = -60  \r\n"
    "\r\n"
    "[Paths]\r\n"
    "Source=\"C:\\Keys\\\"\r\n"
    "Template= 'T' \r\n"
    "Odd=\"half\r\n"
    "no equals sign here\r\n";

std::string Set(std::string_view file, std::string_view section, std::string_view key,
                std::string_view value) {
    auto result = SetProfileString(file, section, key, value);
    EXPECT_TRUE(result.ok()) << result.error();
    return result.ok() ? result.value() : std::string{};
}

TEST(ProfileRead, MatchesSectionsAndKeysWithoutRegardToCase) {
    EXPECT_EQ(GetProfileString(kFile, "positions", "MAINHEIGHT"), "507");
    EXPECT_EQ(GetProfileString("[positions]\nmaintop=300\n", "Positions", "MainTop"), "300");
}

TEST(ProfileRead, DropsBlanksAndOnePairOfMatchingQuotes) {
    EXPECT_EQ(GetProfileString(kFile, "Positions", "MainTop"), "-60");
    EXPECT_EQ(GetProfileString(kFile, "Paths", "Source"), "C:\\Keys\\");
    EXPECT_EQ(GetProfileString(kFile, "Paths", "Template"), "T");
    EXPECT_EQ(GetProfileString(kFile, "Paths", "Odd"), "\"half");
    EXPECT_EQ(GetProfileString("[S]\nk=\"\"x\"\"\n", "S", "k"), "\"x\"");
}

TEST(ProfileRead, MissingSectionKeyOrCommentGivesNothing) {
    EXPECT_EQ(GetProfileString(kFile, "Preferences", "TranslateXL"), std::nullopt);
    EXPECT_EQ(GetProfileString(kFile, "Paths", "Destination"), std::nullopt);
    EXPECT_EQ(GetProfileString(kFile, "Paths", "no equals sign here"), std::nullopt);
    EXPECT_EQ(GetProfileString("[S]\n;k=1\n", "S", ";k"), std::nullopt);
    EXPECT_EQ(GetProfileString("k=1\n", "", "k"), std::nullopt);  // no section at all
}

TEST(ProfileRead, KeysBelongToTheSectionOpenedLast) {
    EXPECT_EQ(GetProfileString(kFile, "Paths", "MainHeight"), std::nullopt);
}

TEST(ProfileRead, NamesAreComparedWithoutSurroundingBlanks) {
    EXPECT_EQ(GetProfileString("[S]\nk=1\n", " S ", "k "), "1");
    EXPECT_EQ(GetProfileString("[ S ]\n k =1\n", "S", "k"), "1");
}

TEST(ProfileRead, FirstOfDuplicateKeysAndSectionsWins) {
    constexpr std::string_view file = "[S]\nk=1\nk=2\n[S]\nk=3\nj=4\n";
    EXPECT_EQ(GetProfileString(file, "S", "k"), "1");
    EXPECT_EQ(GetProfileString(file, "S", "j"), std::nullopt);
}

TEST(ProfileInt, TakesTheLeadingWholeNumber) {
    EXPECT_EQ(GetProfileInt(kFile, "Positions", "MainTop", 0), -60);
    EXPECT_EQ(GetProfileInt("[P]\nh=507.25\n", "P", "h", 0), 507);
    EXPECT_EQ(GetProfileInt("[P]\nh=abc\n", "P", "h", 9), 0);
    EXPECT_EQ(GetProfileInt("[P]\nh=\n", "P", "h", 9), 9);
    EXPECT_EQ(GetProfileInt("[P]\n", "P", "h", 9), 9);
    EXPECT_EQ(GetProfileInt("[P]\nh=99999999999\n", "P", "h", 0), 2147483647);
    EXPECT_EQ(GetProfileInt("[P]\nh=-99999999999\n", "P", "h", 0), -2147483647 - 1);
}

TEST(ProfileWrite, ReplacesTheValueInPlaceKeepingEveryOtherByte) {
    const std::string written = Set(kFile, "POSITIONS", "maintop", "300");
    std::string expected(kFile);
    expected.replace(expected.find("  MainTop = -60  "), 17, "MainTop=300");
    EXPECT_EQ(written, expected);
}

TEST(ProfileWrite, AppendsANewKeyAfterTheLastLineOfItsSection) {
    const std::string written = Set(kFile, "Positions", "MainWidth", "9000");
    std::string expected(kFile);
    expected.insert(expected.find("\r\n\r\n[Paths]") + 2, "MainWidth=9000\r\n");
    EXPECT_EQ(written, expected);
}

TEST(ProfileWrite, AppendsANewSectionAtTheEnd) {
    const std::string written = Set(kFile, "Preferences", "TranslateXL", " 1");
    EXPECT_EQ(written, std::string(kFile) + "\r\n[Preferences]\r\nTranslateXL= 1\r\n");
    EXPECT_EQ(GetProfileString(written, "Preferences", "TranslateXL"), "1");
}

TEST(ProfileWrite, CreatesTheFirstSectionOfAnEmptyFile) {
    EXPECT_EQ(Set("", "Positions", "MainHeight", "507"), "[Positions]\r\nMainHeight=507\r\n");
}

TEST(ProfileWrite, EndsAnUnfinishedLastLineBeforeAppending) {
    EXPECT_EQ(Set("[S]\nk=1", "S", "j", "2"), "[S]\nk=1\r\nj=2\r\n");
    EXPECT_EQ(Set("[S]\nk=1", "T", "j", "2"), "[S]\nk=1\r\n\r\n[T]\r\nj=2\r\n");
}

TEST(ProfileWrite, KeyWithSurroundingBlanksReplacesTheSameLine) {
    EXPECT_EQ(Set("[S]\r\nk=1\r\n", "S ", "k ", "2"), "[S]\r\nk=2\r\n");
}

TEST(ProfileWrite, KeepsLfLineEndsOfAReplacedLine) {
    EXPECT_EQ(Set("[S]\nk=1\nj=2\n", "S", "k", "5"), "[S]\nk=5\nj=2\n");
}

TEST(ProfileWrite, RefusesWhatTheFormatCannotHold) {
    EXPECT_FALSE(SetProfileString("", "S", "k", "a\r\nb=1").ok());
    EXPECT_FALSE(SetProfileString("", "S", "k=x", "1").ok());
    EXPECT_FALSE(SetProfileString("", "S]", "k", "1").ok());
    EXPECT_FALSE(SetProfileString("", "S", ";k", "1").ok());
    EXPECT_FALSE(SetProfileString("", "", "k", "1").ok());
    EXPECT_FALSE(SetProfileString("", "S", " ", "1").ok());
    EXPECT_FALSE(SetProfileString("", "S", "k", std::string_view("a\0b", 3)).ok());
}

TEST(ProfileWrite, ValueReadsBackAsWrittenUnlessBlanksOrQuotesSurroundIt) {
    for (const std::string_view value : {"C:\\Keys\\", "a=b", "[x]", ";y", ""}) {
        const std::string written = Set("", "Paths", "Source", value);
        EXPECT_EQ(GetProfileString(written, "Paths", "Source"), value);
    }
}

}  // namespace
}  // namespace bladeway
