#include "core/keydata/key_reading.h"

#include <gtest/gtest.h>

#include "support/sheet_builder.h"

namespace bladeway {
namespace {

using testing::SheetOf;

PreferenceValues Options(int translateXL, int translateXH) {
    PreferenceValues preferences;
    preferences.SetTransXH(0);
    preferences.SetTransXL(translateXL);
    preferences.SetTransXH(translateXH);
    return preferences;
}

TEST(FormatValueText, NumbersAfterThePatternOtherTextUnchanged) {
    EXPECT_EQ(FormatValueText("12"), "12");
    EXPECT_EQ(FormatValueText("12.000"), "12");
    EXPECT_EQ(FormatValueText("0.31496"), "0.315");
    EXPECT_EQ(FormatValueText(".5"), "0.5");
    EXPECT_EQ(FormatValueText("007"), "7");
    EXPECT_EQ(FormatValueText("-2.50"), "-2.5");
    EXPECT_EQ(FormatValueText("1.5mm"), "1.5mm");
    EXPECT_EQ(FormatValueText(""), "");
    EXPECT_EQ(FormatValueText(" 1.2 "), "1.2");
    EXPECT_EQ(FormatValueText("1.5E1"), "15");
}

TEST(FormatValueText, HalvesGoAwayFromZeroOnTheDecimalText) {
    EXPECT_EQ(FormatValueText("1.0005"), "1.001");
    EXPECT_EQ(FormatValueText("-2.0005"), "-2.001");
    EXPECT_EQ(FormatValueText("4.0005"), "4.001");
    EXPECT_EQ(FormatValueText("2.1255"), "2.126");
    EXPECT_EQ(FormatValueText("0.0004"), "0");
    EXPECT_EQ(FormatValueText("-0.0005"), "-0.001");
    EXPECT_EQ(FormatValueText("999999.9995"), "1000000");
}

TEST(FormatValueText, AFinalPointIsRemovedAlsoFromText) {
    EXPECT_EQ(FormatValueText("5."), "5");
    EXPECT_EQ(FormatValueText("abc."), "abc");
    EXPECT_EQ(FormatValueText("."), "");
    EXPECT_EQ(FormatValueText("a.."), "a.");
}

TEST(TranslateName, TableOfTheTwoOptions) {
    struct Case {
        const char* name;
        const char* neither;
        const char* xl;
        const char* xh;
        const char* both;
    };
    for (const Case& c : {Case{"L", "L", "H", "L", "H"}, Case{"X", "X", "L", "H", "L"},
                          Case{"H", "H", "H", "H", "H"}, Case{"x", "x", "x", "x", "x"},
                          Case{"l", "l", "l", "l", "l"}, Case{"XL", "XL", "XL", "XL", "XL"}}) {
        EXPECT_EQ(TranslateName(c.name, false, false), c.neither) << c.name;
        EXPECT_EQ(TranslateName(c.name, true, false), c.xl) << c.name;
        EXPECT_EQ(TranslateName(c.name, false, true), c.xh) << c.name;
        EXPECT_EQ(TranslateName(c.name, true, true), c.both) << c.name;
    }
}

TEST(ApplyNameValue, LetterFieldsInAnyCaseWithTheirValueFormatted) {
    KeyRecord record;
    const PreferenceValues none = Options(0, 0);
    ApplyNameValue("a=1", record, none);
    ApplyNameValue("B=0.31496", record, none);
    ApplyNameValue("i=.5", record, none);
    ApplyNameValue("s=2.000", record, none);
    ApplyNameValue("l=3", record, none);
    ApplyNameValue("h=4", record, none);
    EXPECT_EQ(record.A, "1");
    EXPECT_EQ(record.B, "0.315");
    EXPECT_EQ(record.I, "0.5");
    EXPECT_EQ(record.S, "2");
    EXPECT_EQ(record.L, "3");
    EXPECT_EQ(record.H, "4");
}

TEST(ApplyNameValue, XSetsNothingUntranslatedAndLowerCaseXNeverTranslates) {
    for (const auto& options : {Options(0, 0), Options(1, 0), Options(0, 1)}) {
        KeyRecord record;
        ApplyNameValue("x=1", record, options);
        EXPECT_EQ(record.L, "");
        EXPECT_EQ(record.H, "");
    }
    KeyRecord record;
    ApplyNameValue("X=1", record, Options(0, 0));
    EXPECT_EQ(record.L, "");
    EXPECT_EQ(record.H, "");
}

TEST(ApplyNameValue, TranslateXLMovesLToHAndXToL) {
    KeyRecord record;
    const PreferenceValues xl = Options(1, 0);
    ApplyNameValue("L=3", record, xl);
    ApplyNameValue("X=4", record, xl);
    EXPECT_EQ(record.H, "3");
    EXPECT_EQ(record.L, "4");
}

TEST(ApplyNameValue, TranslateXHMovesXToH) {
    KeyRecord record;
    const PreferenceValues xh = Options(0, 1);
    ApplyNameValue("X=27.75", record, xh);
    ApplyNameValue("L=3", record, xh);
    EXPECT_EQ(record.H, "27.75");
    EXPECT_EQ(record.L, "3");
}

TEST(ApplyNameValue, OptionsAreReadAtEveryRow) {
    KeyRecord record;
    PreferenceValues preferences = Options(0, 1);
    ApplyNameValue("X=1", record, preferences);
    preferences.SetTransXL(1);
    ApplyNameValue("X=2", record, preferences);
    EXPECT_EQ(record.H, "1");
    EXPECT_EQ(record.L, "2");
}

TEST(ApplyNameValue, NameIsNotTrimmedAgain) {
    KeyRecord record;
    const PreferenceValues none = Options(0, 0);
    ApplyNameValue("A =1", record, none);
    EXPECT_EQ(record.A, "");
    ApplyNameValue("V5 =1", record, none);
    EXPECT_EQ(record.R[5], "1");
}

TEST(ApplyNameValue, VariableEntriesFromVOrRNames) {
    KeyRecord record;
    const PreferenceValues none = Options(0, 0);
    ApplyNameValue("V5=2", record, none);
    ApplyNameValue("R5=3", record, none);
    EXPECT_EQ(record.R[5], "3");
    ApplyNameValue("V0=1", record, none);
    EXPECT_EQ(record.R[0], "1");
    ApplyNameValue("v7=1", record, none);
    EXPECT_EQ(record.R[7], "1");
    ApplyNameValue("r99=1.0005", record, none);
    EXPECT_EQ(record.R[99], "1.001");
    ApplyNameValue("V 5=9", record, none);  // second character not a digit
    EXPECT_EQ(record.R[5], "3");
    ApplyNameValue("W5=9", record, none);
    EXPECT_EQ(record.R[5], "3");
}

TEST(ApplyNameValue, IndexIsRoundedHalfToEvenAndMustBeBelow100) {
    KeyRecord record;
    const PreferenceValues none = Options(0, 0);
    ApplyNameValue("V100=1", record, none);
    ApplyNameValue("V2.5=7", record, none);
    ApplyNameValue("V3.5=8", record, none);
    ApplyNameValue("V1 2=9", record, none);
    ApplyNameValue("V99.5=1", record, none);
    ApplyNameValue("V1E1=4", record, none);
    EXPECT_EQ(record.R[2], "7");
    EXPECT_EQ(record.R[4], "8");
    EXPECT_EQ(record.R[12], "9");
    EXPECT_EQ(record.R[10], "4");
    int set = 0;
    for (const auto& entry : record.R)
        set += entry.empty() ? 0 : 1;
    EXPECT_EQ(set, 4);
}

TEST(ApplyNameValue, SplitsAtTheFirstEqualsAndIgnoresACellWithoutOne) {
    KeyRecord record;
    const PreferenceValues none = Options(0, 0);
    ApplyNameValue("A=1=2", record, none);
    EXPECT_EQ(record.A, "1=2");
    ApplyNameValue("B", record, none);
    ApplyNameValue("B1.5", record, none);
    EXPECT_EQ(record.B, "");
    ApplyNameValue("C=", record, none);
    EXPECT_EQ(record.C, "");
    ApplyNameValue("=5", record, none);
    EXPECT_EQ(record.A, "1=2");
}

TEST(ReadKeyColumn, RowsThreeToSixAndNameValuePairs) {
    const auto sheet = SheetOf(
        {{"K1", "free", "  DZ120  ", "P1001", "1", "GRAND (GM)", "L=31.5", "S=2", "V0=12.500"}});
    KeyRecord record;
    ReadKeyColumn(*sheet, 1, record, Options(0, 0));
    EXPECT_EQ(record.TemplateName.View(), "DZ120       ");
    EXPECT_EQ(record.ProgramName.View(), "P1001       ");
    EXPECT_EQ(record.MirrorCount, 1);
    EXPECT_EQ(record.Description.View(), "GRAND (GM)               ");
    EXPECT_EQ(record.L, "31.5");
    EXPECT_EQ(record.S, "2");
    EXPECT_EQ(record.R[0], "12.5");
}

TEST(ReadKeyColumn, LongNamesAreCutToTheirFields) {
    const auto sheet = SheetOf({{"", "", "ABCDEFGHIJKLMN", "P1234567890123", "",
                                 "A DESCRIPTION LONGER THAN 25 CHARACTERS"}});
    KeyRecord record;
    ReadKeyColumn(*sheet, 1, record, Options(0, 0));
    EXPECT_EQ(record.TemplateName.View(), "ABCDEFGHIJKL");
    EXPECT_EQ(record.ProgramName.View(), "P12345678901");
    EXPECT_EQ(record.Description.View(), "A DESCRIPTION LONGER THAN");
}

TEST(ReadKeyColumn, MirrorCountIsTheRoundedLeadingNumber) {
    for (const auto& [cell, count] : std::vector<std::pair<std::string, int>>{{"2.5", 2},
                                                                              {"3.5", 4},
                                                                              {"1 ", 1},
                                                                              {"x2", 0},
                                                                              {"2abc", 2},
                                                                              {"1 2", 12},
                                                                              {"99999", 32767},
                                                                              {"-99999", -32768}}) {
        const auto sheet = SheetOf({{"", "", "T", "P", cell}});
        KeyRecord record;
        record.MirrorCount = 7;
        ReadKeyColumn(*sheet, 1, record, Options(0, 0));
        EXPECT_EQ(record.MirrorCount, count) << cell;
    }
}

TEST(ReadKeyColumn, EmptyRow3StopsTheColumnAndKeepsEverything) {
    const auto sheet = SheetOf({{"K2", "", "   ", "P2", "2", "OTHER", "A=9"}});
    KeyRecord record;
    record.TemplateName = "T1";
    record.ProgramName = "P1";
    record.A = "1";
    ReadKeyColumn(*sheet, 1, record, Options(0, 0));
    EXPECT_EQ(record.TemplateName.View(), "T1          ");
    EXPECT_EQ(record.ProgramName.View(), "P1          ");
    EXPECT_EQ(record.A, "1");
    EXPECT_EQ(record.MirrorCount, 0);
}

TEST(ReadKeyColumn, EmptyCellsBelowRow3KeepThePreviousValues) {
    const auto sheet = SheetOf({{"K1", "", "T1", "P1", "1", "ONE", "A=1", "B=2"},
                                {"K2", "", "T2", "", "", "", "", "B=3"}});
    KeyRecord record;
    ReadKeyColumn(*sheet, 1, record, Options(0, 0));
    ReadKeyColumn(*sheet, 2, record, Options(0, 0));
    EXPECT_EQ(record.TemplateName.View(), "T2          ");
    EXPECT_EQ(record.ProgramName.View(), "P1          ");
    EXPECT_EQ(record.MirrorCount, 1);
    EXPECT_EQ(record.Description.View(), "ONE                      ");
    EXPECT_EQ(record.A, "1");
    EXPECT_EQ(record.B, "3");
}

TEST(ReadKeyColumn, RowsOneAndTwoAreNotRead) {
    const auto sheet = SheetOf({{"A=1", "V1=2", "T"}});
    KeyRecord record;
    ReadKeyColumn(*sheet, 1, record, Options(0, 0));
    EXPECT_EQ(record.A, "");
    EXPECT_EQ(record.R[1], "");
}

}  // namespace
}  // namespace bladeway
