// How a key column of the grid becomes the key record.
#include "core/keydata/key_reading.h"

#include <gtest/gtest.h>

#include "support/case_table.h"
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

// The record's value fields that are set, as "A=1 R5=2".
std::string Fields(const KeyRecord& r) {
    std::string fields;
    const std::pair<const char*, const std::string*> named[] = {
        {"A", &r.A}, {"B", &r.B}, {"C", &r.C}, {"D", &r.D}, {"E", &r.E}, {"F", &r.F},
        {"G", &r.G}, {"H", &r.H}, {"I", &r.I}, {"L", &r.L}, {"S", &r.S}};
    for (const auto& [name, value] : named) {
        if (!value->empty())
            fields += std::string(fields.empty() ? "" : " ") + name + "=" + *value;
    }
    for (std::size_t i = 0; i < r.R.size(); ++i) {
        if (!r.R[i].empty())
            fields += (fields.empty() ? "R" : " R") + std::to_string(i) + "=" + r.R[i];
    }
    return fields;
}

TEST(FormatValueText, NumbersAfterThePatternHalvesAwayFromZeroOtherTextUnchanged) {
    // clang-format off
    testing::ExpectEach(FormatValueText, {
        {"12", "12"}, {"12.000", "12"}, {"0.31496", "0.315"}, {".5", "0.5"}, {"007", "7"},
        {"-2.50", "-2.5"}, {"1.5mm", "1.5mm"}, {"", ""}, {" 1.2 ", "1.2"}, {"1.5E1", "15"},
        {"1.0005", "1.001"}, {"-2.0005", "-2.001"}, {"4.0005", "4.001"}, {"2.1255", "2.126"},
        {"0.0004", "0"}, {"-0.0005", "-0.001"}, {"999999.9995", "1000000"},
        // A final point is removed also from text.
        {"5.", "5"}, {"abc.", "abc"}, {".", ""}, {"a..", "a."},
        {"+3.10", "3.1"}, {"15e-3", "0.015"}, {"1.00049", "1"}, {"9.9995", "10"},
        // What is not a number goes out as it is.
        {"1,5", "1,5"}, {"1.2.3", "1.2.3"}, {"1e999999999999", "1e999999999999"}});
    // clang-format on
}

TEST(TranslateName, TableOfTheTwoOptions) {
    // Name, then the result with neither option, XL, XH, both.
    for (const std::array<const char*, 5>& c :
         std::initializer_list<std::array<const char*, 5>>{{"L", "L", "H", "L", "H"},
                                                           {"X", "X", "L", "H", "L"},
                                                           {"H", "H", "H", "H", "H"},
                                                           {"x", "x", "x", "x", "x"},
                                                           {"l", "l", "l", "l", "l"},
                                                           {"XL", "XL", "XL", "XL", "XL"}}) {
        EXPECT_EQ(TranslateName(c[0], false, false), c[1]) << c[0];
        EXPECT_EQ(TranslateName(c[0], true, false), c[2]) << c[0];
        EXPECT_EQ(TranslateName(c[0], false, true), c[3]) << c[0];
        EXPECT_EQ(TranslateName(c[0], true, true), c[4]) << c[0];
    }
}

TEST(ApplyNameValue, TableOfCellsAppliedInTurn) {
    struct Row {
        std::vector<std::string_view> cells;
        PreferenceValues options;
        std::string fields;
    };
    const std::vector<Row> rows{
        // Letter fields in any case, their values formatted.
        {{"a=1", "B=0.31496", "i=.5", "s=2.000", "l=3", "h=4"},
         Options(0, 0),
         "A=1 B=0.315 H=4 I=0.5 L=3 S=2"},
        // X sets nothing untranslated; a small x never translates.
        {{"X=1", "x=1"}, Options(0, 0), ""},
        {{"x=1"}, Options(1, 0), ""},
        {{"x=1"}, Options(0, 1), ""},
        {{"L=3", "X=4"}, Options(1, 0), "H=3 L=4"},
        {{"X=27.75", "L=3"}, Options(0, 1), "H=27.75 L=3"},
        // The name is not trimmed again; V or R and a digit name a variable.
        {{"A =1", "V5 =1"}, Options(0, 0), "R5=1"},
        {{"V5=2", "R5=3", "V0=1", "v7=1", "r99=1.0005", "V 5=9", "W5=9"},
         Options(0, 0),
         "R0=1 R5=3 R7=1 R99=1.001"},
        // The index is rounded half to even and must be below 100.
        {{"V100=1", "V2.5=7", "V3.5=8", "V1 2=9", "V99.5=1", "V1E1=4"},
         Options(0, 0),
         "R2=7 R4=8 R10=4 R12=9"},
        // Split at the first "="; a cell without one, or without a name or value, sets nothing.
        {{"A=1=2", "B", "B1.5", "C=", "=5"}, Options(0, 0), "A=1=2"},
    };
    for (const Row& row : rows) {
        KeyRecord record;
        for (const std::string_view cell : row.cells)
            ApplyNameValue(cell, record, row.options);
        EXPECT_EQ(Fields(record), row.fields) << row.cells.front();
    }
}

TEST(ApplyNameValue, OptionsAreReadAtEveryRow) {
    KeyRecord record;
    PreferenceValues preferences = Options(0, 1);
    ApplyNameValue("X=1", record, preferences);
    preferences.SetTransXL(1);
    ApplyNameValue("X=2", record, preferences);
    EXPECT_EQ(Fields(record), "H=1 L=2");
}

TEST(ReadKeyColumn, RowsThreeToSixThenNameValuePairsCutToTheirFields) {
    const auto sheet = SheetOf(
        {{"A=1", "V1=2", "  DZ120  ", "P1001", "1", "GRAND (GM)", "L=31.5", "S=2", "V0=12.500"},
         {"", "", "ABCDEFGHIJKLMN", "P1234567890123", "",
          "A DESCRIPTION LONGER THAN 25 CHARACTERS"}});
    KeyRecord record;
    ReadKeyColumn(*sheet, 1, record, Options(0, 0));
    EXPECT_EQ(record.TemplateName.View(), "DZ120       ");
    EXPECT_EQ(record.ProgramName.View(), "P1001       ");
    EXPECT_EQ(record.MirrorCount, 1);
    EXPECT_EQ(record.Description.View(), "GRAND (GM)               ");
    EXPECT_EQ(Fields(record), "L=31.5 S=2 R0=12.5");  // rows 1 and 2 are not read
    ReadKeyColumn(*sheet, 2, record, Options(0, 0));
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

TEST(ReadKeyColumn, EmptyCellsKeepThePreviousValuesAndAnEmptyRow3StopsTheColumn) {
    const auto sheet = SheetOf({{"K1", "", "T1", "P1", "1", "ONE", "A=1", "B=2"},
                                {"K2", "", "T2", "", "", "", "", "B=3"},
                                {"K3", "", "   ", "P3", "2", "OTHER", "A=9"}});
    KeyRecord record;
    for (const int column : {1, 2, 3})
        ReadKeyColumn(*sheet, column, record, Options(0, 0));
    EXPECT_EQ(record.TemplateName.View(), "T2          ");
    EXPECT_EQ(record.ProgramName.View(), "P1          ");
    EXPECT_EQ(record.Description.View(), "ONE                      ");
    EXPECT_EQ(Fields(record), "A=1 B=3");
    EXPECT_EQ(record.MirrorCount, 1);  // column 3 changed nothing
}

}  // namespace
}  // namespace bladeway
