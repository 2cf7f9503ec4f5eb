// The program text the generator makes of a template and a key.
#include <string>

#include <gtest/gtest.h>

#include "core/gcode/master_template.h"
#include "core/gcode/program_generator.h"
#include "support/worked_example.h"

namespace bladeway {
namespace {

using testing::ExampleKey;

std::string Build(std::string_view templateText, KeyRecord& record, bool flat = true,
                  std::string_view mirror = "!") {
    return BuildProgram(ReadMasterTemplate(templateText), record, mirror, flat);
}

// The program's lines, without the body.
std::string FirstLine(const std::string& program) {
    return program.substr(0, program.find("\r\n"));
}
std::string SecondLine(const std::string& program) {
    const auto start = program.find("\r\n") + 2;
    return program.substr(start, program.find("\r\n", start) - start);
}

TEST(BuildProgram, WorkedExampleInFlatMode) {
    KeyRecord record = ExampleKey();
    const std::string program = Build(testing::kExampleTemplate, record) + "\r\n";
    EXPECT_EQ(program, testing::kExampleFlatProgram);
}

TEST(BuildProgram, WorkedExampleInTreeMode) {
    KeyRecord record = ExampleKey();
    const std::string program = Build(testing::kExampleTemplate, record, false) + "\r\n";
    EXPECT_EQ(program, testing::kExampleTreeProgram);
}

TEST(BuildProgram, DescriptionGetsItsBracketsInTheRecord) {
    KeyRecord record = ExampleKey();
    Build(testing::kExampleTemplate, record);
    EXPECT_EQ(record.Description.View(), "KEY [A1]                 ");
}

TEST(BuildProgram, PositionLineKeepsTemplateValuesTheKeyDoesNotGive) {
    KeyRecord record;
    record.Description = "K";
    EXPECT_EQ(FirstLine(Build("G00X1.5Y-2Z3T4M6\r\n(C)\r\n", record)), "G00X1.5Y-2Z3T4M6");
    record.H = "7.25";
    EXPECT_EQ(FirstLine(Build("G00X1.5Y-2Z3T4M6\r\n(C)\r\n", record)), "G00X1.5Y7.25Z3T4M6");
}

TEST(BuildProgram, PositionLineWritesALetterWithoutValueWhenNeitherGivesOne) {
    KeyRecord record;
    // No Y in line 1: the value read is what stands before its first capital.
    EXPECT_EQ(FirstLine(Build("G00X1Z2T1\r\n(C)\r\n", record)), "G00X1YZ2T1");
    EXPECT_EQ(FirstLine(Build("00 X1Z2T1\r\n(C)\r\n", record)), "00 X1Y00 Z2T1");
}

TEST(BuildProgram, PositionLineWithoutTKeepsTheWholeLineAfterTheWords) {
    KeyRecord record;
    record.L = "9";
    EXPECT_EQ(FirstLine(Build("G00X1Y2Z3M6\r\n(C)\r\n", record)), "G00X9Y2Z3G00X1Y2Z3M6");
}

TEST(BuildProgram, TreeModeRewritesAxisValuesAsNumbers) {
    KeyRecord record;
    record.L = "2.500";
    record.H = "-0.25";
    record.S = "0.500";
    EXPECT_EQ(FirstLine(Build("G00X0Y0Z0T1\r\n(C)\r\n", record, false)), "G00X2.5Y-.25Z.5T1");
    EXPECT_EQ(FirstLine(Build("G00X0Y0Z0T1\r\n(C)\r\n", record, true)), "G00X2.500Y-0.25Z0.500T1");
}

TEST(BuildProgram, TreeModeLeavesTemplateAxisValuesAsWritten) {
    KeyRecord record;
    EXPECT_EQ(FirstLine(Build("G00X0.50Y0Z5T1\r\n(C)\r\n", record, false)), "G00X0.50Y0Z5T1");
}

TEST(BuildProgram, MirrorTextByCount) {
    KeyRecord record;
    record.Description = "K";
    record.MirrorCount = 2;
    EXPECT_EQ(SecondLine(Build("G00T1\r\n(C)\r\n", record)), "G150(!!K) ");
    for (const std::int16_t count : std::initializer_list<std::int16_t>{0, 3, -1}) {
        record.MirrorCount = count;
        EXPECT_EQ(SecondLine(Build("G00T1\r\n(C)\r\n", record)), "G150(K) ") << count;
    }
    record.MirrorCount = 1;
    EXPECT_EQ(SecondLine(Build("G00T1\r\n(C)\r\n", record, true, "#")), "G150(#K) ");
    EXPECT_EQ(SecondLine(Build("G00T1\r\n(C)\r\n", record, true, "")), "G150(K) ");
    EXPECT_EQ(SecondLine(Build("G00T1\r\n(C)\r\n", record, true, " ")), "G150(K) ");
}

TEST(BuildProgram, DescriptionNeverSetKeepsItsNuls) {
    KeyRecord record;
    record.MirrorCount = 1;
    EXPECT_EQ(SecondLine(Build("G00T1\r\n(C)A2\r\n", record)),
              "G150(!" + std::string(25, '\0') + ") A2");
}

TEST(BuildProgram, NoAValueLeavesTheLineEndingInBracketAndBlank) {
    KeyRecord record;
    record.Description = "K";
    EXPECT_EQ(SecondLine(Build("G00T1\r\n(C)B1\r\n", record)), "G150(K) ");
    record.A = "0.75";
    EXPECT_EQ(SecondLine(Build("G00T1\r\n(C)B1\r\n", record)), "G150(K) A0.75");
}

TEST(BuildProgram, ContinuationLineOnlyWithAWord) {
    KeyRecord record;
    record.Description = "K";
    // A "!" line 3 but no B to I value anywhere: no continuation line.
    EXPECT_EQ(Build("G00T1\r\n(C)A1\r\n!\r\nM30", record), "G00XYZT1\r\nG150(K) A1\r\nM30");
    record.G = "0.5";
    EXPECT_EQ(Build("G00T1\r\n(C)A1\r\n!\r\nM30", record),
              "G00XYZT1\r\nG150(K) A1\r\n!G0.5\r\nM30");
}

TEST(BuildProgram, ContinuationWordsInFixedOrderFromKeyOrTemplate) {
    KeyRecord record;
    record.Description = "K";
    record.F = "9";
    record.B = "8";
    const std::string program = Build("G00T1\r\n(C)I1G2E3D4C5A6\r\n!\r\nM30", record);
    EXPECT_EQ(program, "G00XYZT1\r\nG150(K) A6\r\n!B8C5D4E3F9G2I1\r\nM30");
}

TEST(BuildProgram, DAndEWordsAreLookedUpUnderJAndK) {
    KeyRecord record;
    record.Description = "K";
    // The template's D and E become J and K; J and K words of their own read the same way.
    EXPECT_EQ(Build("G00T1\r\n(C)D1E2\r\n", record), "G00XYZT1\r\nG150(K) \r\n!D1E2\r\n");
    EXPECT_EQ(Build("G00T1\r\n(C)J7K8\r\n", record), "G00XYZT1\r\nG150(K) \r\n!D7E8\r\n");
    // A "D1" on a "!" line 3 is read the same way.
    EXPECT_EQ(Build("G00T1\r\n(C)A1\r\n!D1\r\n", record), "G00XYZT1\r\nG150(K) A1\r\n!D1\r\n");
}

TEST(BuildProgram, CommentIsDroppedUpToItsFirstBracket) {
    KeyRecord record;
    record.Description = "K";
    // Letters of the comment are not words.
    EXPECT_EQ(SecondLine(Build("G00T1\r\n(BIG A)B1\r\n", record)), "G150(K) ");
    // Without ")" the whole line is searched: the "A" of the text is found first.
    EXPECT_EQ(SecondLine(Build("G00T1\r\nMASTER A5\r\n", record)), "G150(K) A");
}

TEST(BuildProgram, KeyValuesOfCycleWordsAreWrittenUnchangedInBothModes) {
    KeyRecord record;
    record.Description = "K";
    record.A = "0.500";
    record.B = "1.5mm";
    for (const bool flat : {true, false}) {
        EXPECT_EQ(Build("G00T1\r\n(C)A1B1\r\n", record, flat),
                  "G00XYZT1\r\nG150(K) A0.500\r\n!B1.5mm\r\n");
    }
}

TEST(BuildProgram, VariableLinesInIndexOrderFromKeyOrTemplate) {
    KeyRecord record;
    record.Description = "K";
    record.R[0] = "5";
    record.R[10] = "2.125";
    record.R[99] = "1";
    const std::string program =
        Build("G00T1\r\n(C)\r\n!\r\n~R10=1|TEN\r\n~R2=3|TWO\r\nM30\r\n", record);
    EXPECT_EQ(program,
              "G00XYZT1\r\nG150(K) \r\n"
              "~R0=5|\r\n~R2=3|TWO\r\n~R10=2.125|TEN\r\n~R99=1|\r\n"
              "M30\r\n");
}

TEST(BuildProgram, TemplateWithoutVariableLinesGetsOnlyTheKeysOnes) {
    KeyRecord record;
    record.Description = "K";
    record.R[4] = "1";
    EXPECT_EQ(Build("G00T1\r\n(C)\r\n!\r\nG01\r\nM30\r\n", record),
              "G00XYZT1\r\nG150(K) \r\n~R4=1|\r\nG01\r\nM30\r\n");
}

TEST(BuildProgram, TextBeforeTheMarkerIsDroppedInFlatMode) {
    KeyRecord record;
    record.Description = "K";
    EXPECT_EQ(Build("G00T1\r\n(C)\r\n!\r\nN10~R1=0.25|DEPTH\r\nM30", record),
              "G00XYZT1\r\nG150(K) \r\n~R1=0.25|DEPTH\r\nM30");
}

TEST(BuildProgram, TreeModeLeavesTheVariableSectionOut) {
    KeyRecord record;
    record.Description = "K";
    record.R[4] = "1";
    EXPECT_EQ(Build("G00T1\r\n(C)\r\n!\r\n~R1=0.25|DEPTH\r\nM30\r\n", record, false),
              "G00XYZT1\r\nG150(K) \r\nM30\r\n");
}

TEST(BuildProgram, Line3WithoutBangIsDroppedAndTheBodyStartsAtLine4) {
    KeyRecord record;
    record.Description = "K";
    EXPECT_EQ(Build("G00T1\r\n(C)A1\r\nN5B9\r\nG01\r\n", record),
              "G00XYZT1\r\nG150(K) A1\r\nG01\r\n");
}

TEST(BuildProgram, BytesAboveAsciiPassUnchanged) {
    KeyRecord record;
    record.Description =
        "T\xdcR \xa7"
        "1";
    const std::string program = Build("G00T1\r\n(C)\r\n!\r\n(\xe9t\xe9)\r\n", record);
    EXPECT_EQ(program,
              "G00XYZT1\r\nG150(T\xdcR \xa7"
              "1) \r\n(\xe9t\xe9)\r\n");
}

}  // namespace
}  // namespace bladeway
