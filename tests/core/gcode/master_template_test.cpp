#include "core/gcode/master_template.h"

#include <gtest/gtest.h>

#include "support/worked_example.h"

namespace bladeway {
namespace {

TEST(MasterTemplate, TakesTheWorkedExampleApart) {
    const MasterTemplate parsed = ReadMasterTemplate(testing::kExampleTemplate);
    EXPECT_EQ(parsed.positionLine, "G00X0Y0Z5T1M6");
    EXPECT_EQ(parsed.cycleLine, "(MASTER)A1.5B2C.25D1E3F100G2I.5");
    EXPECT_TRUE(parsed.variables[1].defined);
    EXPECT_EQ(parsed.variables[1].definition, "1=0.25");
    EXPECT_EQ(parsed.variables[1].comment, "DEPTH");
    EXPECT_EQ(parsed.variables[3].definition, "3=12");
    EXPECT_EQ(parsed.variables[3].comment, "STEPS");
    EXPECT_FALSE(parsed.variables[0].defined);
    EXPECT_FALSE(parsed.variables[7].defined);
    EXPECT_EQ(parsed.body, "M30\r\n");
}

TEST(MasterTemplate, LinesAreTrimmedOfSpaces) {
    const MasterTemplate parsed =
        ReadMasterTemplate("  G00X1T1  \r\n (C)A1 \r\n  ! B2 \r\n ~R2=5 | NOTE \r\nM30");
    EXPECT_EQ(parsed.positionLine, "G00X1T1");
    EXPECT_EQ(parsed.cycleLine, "(C)A1 B2");
    EXPECT_EQ(parsed.variables[2].definition, "2=5");
    EXPECT_EQ(parsed.variables[2].comment, "NOTE");
    EXPECT_EQ(parsed.body, "M30");
}

TEST(MasterTemplate, ALine3WithoutBangIsDropped) {
    const MasterTemplate parsed = ReadMasterTemplate("G00T1\r\n(C)A1\r\nN5\r\n~R1=2|X\r\nM30\r\n");
    EXPECT_EQ(parsed.cycleLine, "(C)A1");
    EXPECT_TRUE(parsed.variables[1].defined);
    EXPECT_EQ(parsed.body, "M30\r\n");
}

TEST(MasterTemplate, WithoutVariableLinesTheBodyStartsAtLine4) {
    const MasterTemplate parsed = ReadMasterTemplate("G00T1\r\n(C)A1\r\n!B2\r\nG01X5\r\nM30\r\n");
    EXPECT_EQ(parsed.body, "G01X5\r\nM30\r\n");
    for (const auto& variable : parsed.variables)
        EXPECT_FALSE(variable.defined);
}

TEST(MasterTemplate, TextBeforeTheMarkerIsNotPartOfTheDefinition) {
    const MasterTemplate parsed =
        ReadMasterTemplate("G00T1\r\n(C)A1\r\n!\r\nN10~R1=0.25|DEPTH\r\nM30\r\n");
    EXPECT_EQ(parsed.variables[1].definition, "1=0.25");
    EXPECT_EQ(parsed.body, "M30\r\n");
}

TEST(MasterTemplate, IndexIsTheLeadingNumberRoundedHalfToEven) {
    const MasterTemplate parsed = ReadMasterTemplate(
        "G00T1\r\n(C)\r\n!\r\n~R 1 2=5|A\r\n~R2.5=6|B\r\n~R3.5=7|C\r\n~R=8|D\r\nM30\r\n");
    EXPECT_EQ(parsed.variables[12].definition, " 1 2=5");
    EXPECT_EQ(parsed.variables[2].definition, "2.5=6");
    EXPECT_EQ(parsed.variables[4].definition, "3.5=7");
    EXPECT_EQ(parsed.variables[0].definition, "=8");  // no number reads as 0
}

TEST(MasterTemplate, LaterLineOfTheSameIndexWins) {
    const MasterTemplate parsed =
        ReadMasterTemplate("G00T1\r\n(C)\r\n!\r\n~R3=1|FIRST\r\n~R3=2|SECOND\r\nM30\r\n");
    EXPECT_EQ(parsed.variables[3].definition, "3=2");
    EXPECT_EQ(parsed.variables[3].comment, "SECOND");
}

TEST(MasterTemplate, IndicesOutsideTheTableAreNotStored) {
    const MasterTemplate parsed =
        ReadMasterTemplate("G00T1\r\n(C)\r\n!\r\n~R150=1|X\r\n~R-1=2|Y\r\n~R99=3|Z\r\nM30\r\n");
    for (std::size_t i = 0; i < 99; ++i)
        EXPECT_FALSE(parsed.variables[i].defined) << i;
    EXPECT_EQ(parsed.variables[99].definition, "99=3");
    EXPECT_EQ(parsed.body, "M30\r\n");  // the section went on past the skipped lines
}

TEST(MasterTemplate, SectionEndsAtTheFirstLineWithoutMarkerBeforeItsBar) {
    const MasterTemplate parsed =
        ReadMasterTemplate("G00T1\r\n(C)\r\n!\r\n~R1=1|A\r\nG01 (X|Y~R2)\r\n~R3=1|C\r\n");
    EXPECT_TRUE(parsed.variables[1].defined);
    EXPECT_FALSE(parsed.variables[2].defined);
    EXPECT_FALSE(parsed.variables[3].defined);
    EXPECT_EQ(parsed.body, "G01 (X|Y~R2)\r\n~R3=1|C\r\n");
}

TEST(MasterTemplate, LineWithoutBarTakesItsNamePartFromTheFollowingLines) {
    const MasterTemplate parsed =
        ReadMasterTemplate("G00T1\r\n(C)\r\n!\r\n~R1=0.25\r\nG01|NOTE\r\nM30\r\n");
    EXPECT_EQ(parsed.variables[1].definition, "1=0.25\r\nG01");
    EXPECT_EQ(parsed.variables[1].comment, "NOTE");
    EXPECT_EQ(parsed.body, "M30\r\n");
}

TEST(MasterTemplate, VariableLineRunningToTheEndLeavesNoBodyAndEnds) {
    // No "|" anywhere after the marker: the name part takes the rest of the text.
    const MasterTemplate parsed = ReadMasterTemplate("G00T1\r\n(C)\r\n!\r\n~R1=0.25\r\nM30\r\n");
    EXPECT_EQ(parsed.variables[1].definition, "1=0.25\r\nM30\r\n");
    EXPECT_EQ(parsed.variables[1].comment, "");
    EXPECT_EQ(parsed.body, "");

    const MasterTemplate atEnd = ReadMasterTemplate("G00T1\r\n(C)\r\n!\r\n~R1=2|");
    EXPECT_EQ(atEnd.variables[1].definition, "1=2");
    EXPECT_EQ(atEnd.body, "");
}

TEST(MasterTemplate, ShortTemplatesReadMissingLinesAsEmpty) {
    const MasterTemplate oneLine = ReadMasterTemplate("G00X1T1M6");
    EXPECT_EQ(oneLine.positionLine, "G00X1T1M6");
    EXPECT_EQ(oneLine.cycleLine, "");
    EXPECT_EQ(oneLine.body, "");

    const MasterTemplate twoLines = ReadMasterTemplate("G00X1T1M6\r\n(C)A1\r\n");
    EXPECT_EQ(twoLines.cycleLine, "(C)A1");
    EXPECT_EQ(twoLines.body, "");

    const MasterTemplate empty = ReadMasterTemplate("");
    EXPECT_EQ(empty.positionLine, "");
    EXPECT_EQ(empty.body, "");
}

TEST(MasterTemplate, LastLineWithoutLineEndIsTheBody) {
    const MasterTemplate parsed = ReadMasterTemplate("G00T1\r\n(C)\r\n!\r\n~R1=1|A\r\nM30");
    EXPECT_EQ(parsed.body, "M30");
}

}  // namespace
}  // namespace bladeway
