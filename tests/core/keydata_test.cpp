// Key data files into the sheet, the sheet itself, the key record, and how a
// key column of the sheet becomes the key record.
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>

#include <gtest/gtest.h>

#include "core/keydata/column_letters.h"
#include "core/keydata/key_data_damage.h"
#include "core/keydata/key_data_file.h"
#include "core/keydata/key_reading.h"
#include "core/keydata/key_record.h"
#include "support/case_table.h"
#include "support/sheet_builder.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::SheetOf;
using Cells = std::vector<std::string>;
using Columns = std::vector<Cells>;

// Every column of the sheet, rows 1 to the row count.
Columns AllColumns(const Sheet& sheet) {
    Columns columns;
    for (int column = 1; column <= sheet.ColumnCount(); ++column) {
        columns.emplace_back();
        for (int row = 1; row <= sheet.RowCount(); ++row)
            columns.back().emplace_back(sheet.CellText(column, row));
    }
    return columns;
}

TEST(ParseKeyData, BlocksHeadingsAndLineEnds) {
    struct Row {
        std::string file;
        int rows;
        Columns columns;
    };
    const std::vector<Row> rows{
        // One column per block ended by a "!" line; rows from the largest block.
        // clang-format off
        {"K1\r\nA=1\r\n!\r\nK2\r\n!\r\nK3\r\nB=2\r\nC=3\r\n!\r\n", 3, {{"K1", "A=1", ""}, {"K2", "", ""}, {"K3", "B=2", "C=3"}}},
        // clang-format on
        // A file ending right after the last "!" loses the block before it.
        {"K1\r\n!\r\nK2\r\n!", 1, {{"K1"}}},
        // Text after the last "!" is hidden but counts towards the rows.
        {"K1\r\n!\r\nT1\r\nT2\r\nT3\r\n", 3, {{"K1", "", ""}}},
        {"!\r\n!\r\n!\r\n", 0, {{}, {}, {}}},
        // A "!" inside a line ends the block and drops the two characters after
        // it; the rest of the line is the next block's first line.
        {"K1\r\nAB!CD\r\nK2\r\n!\r\n", 2, {{"K1", "AB"}, {"", "K2"}}},
        // Heading lines take no row; only spaces may precede their bracket.
        {"[Key]\r\nK1\r\n[Values]\r\nA=1.5\r\n!\r\n", 2, {{"K1", "A=1.5"}}},
        {"   [hidden\r\n\t[shown\r\n!\r\n", 1, {{"\t[shown"}}},
        // Cells keep their blanks; the character after each CR is dropped.
        {"  K1 \r\n\r\nA=1\r\n!\r\n", 3, {{"  K1 ", "", "A=1"}}},
        {"K1\rXA=1\r\n!\r\n", 2, {{"K1", "A=1"}}},
        {std::string("N\0L\r\n!\r\n", 8), 1, {{std::string("N\0L", 3)}}},
    };
    for (const Row& row : rows) {
        Sheet sheet;
        sheet.Load(ParseKeyData(std::make_shared<const std::string>(row.file)));
        EXPECT_EQ(sheet.RowCount(), row.rows) << row.file;
        EXPECT_EQ(AllColumns(sheet), row.columns) << row.file;
    }
}

TEST(LoadKeyDataFile, ReplacesTheSheetOrLeavesItAsItWasAndSaysWhy) {
    testing::TempFolder folder;
    folder.Write("a.dat", "A1\r\nA2\r\nA3\r\n!\r\nB1\r\n!\r\n");
    folder.Write("b.dat", "C1\r\n!\r\n");
    Sheet sheet;
    ASSERT_TRUE(LoadKeyDataFile(folder.Path().string(), "a.dat", sheet).ok());
    EXPECT_EQ(sheet.ColumnCount(), 2);
    ASSERT_TRUE(LoadKeyDataFile(folder.WithSeparator(), "b.dat", sheet).ok());
    EXPECT_EQ(AllColumns(sheet), Columns{{"C1"}});
    sheet.SetCellText(1, 1, "edited");
    const Outcome missing = LoadKeyDataFile(folder.Path().string(), "gone.dat", sheet);
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("gone.dat"), std::string::npos);
    EXPECT_EQ(AllColumns(sheet), Columns{{"edited"}});
}

TEST(Sheet, Starts500By500RefusingCellsOutsideAndALoadClearsEarlierEdits) {
    Sheet sheet;
    EXPECT_EQ(sheet.ColumnCount(), 500);
    EXPECT_EQ(sheet.RowCount(), 500);
    EXPECT_FALSE(sheet.SetCellText(501, 1, "x"));
    EXPECT_FALSE(sheet.SetCellText(0, 1, "x"));
    EXPECT_EQ(sheet.CellText(501, 1), "");
    sheet.SetCellText(1, 1, "old");
    sheet.Load(ParseKeyData(std::make_shared<const std::string>("a\r\nbb\r\n!\r\nc\r\n!\r\n")));
    ASSERT_TRUE(sheet.SetCellText(1, 2, "edited"));
    sheet.SetCellText(2, 2, "edit");
    EXPECT_EQ(AllColumns(sheet), (Columns{{"a", "edited"}, {"c", "edit"}}));
}

// A file that loads but cannot be what Lockplan wrote is named; a good one,
// with trailing blank lines, is not.
TEST(KeyDataDamage, CutOffEmptyAndBinaryFilesAreNamedGoodOnesAreNot) {
    std::string random(600, '\0');
    for (std::size_t i = 0; i < random.size(); ++i)
        random[i] = static_cast<char>((i * 7919 + 13) % 256);
    const struct {
        std::string content;
        std::optional<KeyDataDamageKind> kind;
        std::string text;
    } cases[] = {
        {"K1\r\nA=1\r\n!\r\n", std::nullopt, ""},
        {"K1\r\n!\r\n\r\n  \r\n[END]\r\n", std::nullopt, ""},
        {"", KeyDataDamageKind::kEmpty, "the file is empty: it holds no key"},
        {random, KeyDataDamageKind::kNotKeyData, ""},
        {"K1\r\nA=1\r\n", KeyDataDamageKind::kNoKeyEnd, ""},
        {"K1\r\n!\r\nK2\r\nA=1\r\nB=", KeyDataDamageKind::kEndsInsideKey,
         "the file ends inside key 2 (3 lines after its last \"!\"): that key and any after it "
         "are missing, the file may be cut off"},
        {"K1\r\n!\r\nK2\r\n!", KeyDataDamageKind::kEndsInsideKey,
         "the file ends right after its last \"!\" without a line end, so its last key (key 2) "
         "is not shown"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.content.substr(0, 40));
        const std::optional<KeyDataDamage> damage = FindKeyDataDamage(test.content);
        ASSERT_EQ(damage.has_value(), test.kind.has_value());
        if (!damage)
            continue;
        EXPECT_EQ(damage->kind, *test.kind);
        if (!test.text.empty()) {
            EXPECT_EQ(damage->text, test.text);
        }
    }
    Sheet sheet;
    EXPECT_TRUE(sheet.LoadedContent().empty());
    sheet.Load(ParseKeyData(std::make_shared<const std::string>("K1\r\n!\r\nK2")));
    EXPECT_EQ(sheet.LoadedContent(), "K1\r\n!\r\nK2");
}

TEST(ColumnLetters, SpreadsheetNamesEachWayAcrossEveryCarry) {
    // clang-format off
    testing::ExpectEach<int, std::string>(ColumnLetters, {
        {1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {703, "AAA"},
        {std::numeric_limits<int>::max(), "FXSHRXW"}, {0, ""}, {-1, ""}});
    testing::ExpectEach<std::string_view, std::optional<int>>(ColumnOfLetters, {
        {"aa", 27}, {"zZ", 702}, {"FXSHRXW", std::numeric_limits<int>::max()},
        // Not letters alone, or past what an int holds.
        {"", std::nullopt}, {"A1", std::nullopt}, {" A", std::nullopt}, {"@", std::nullopt},
        {"[", std::nullopt}, {"\xc3\x84", std::nullopt}, {"FXSHRXX", std::nullopt},
        {"ZZZZZZZZZZZZZZZZ", std::nullopt}});
    // clang-format on
    for (int column = 1; column <= 20'000; ++column)
        ASSERT_EQ(ColumnOfLetters(ColumnLetters(column)), column);
}

PreferenceValues Options(int translateXL, int translateXH) {
    PreferenceValues preferences;
    preferences.SetXToHOption(0);
    preferences.SetXLToLHOption(translateXL);
    preferences.SetXToHOption(translateXH);
    return preferences;
}

// The record's value fields that are set, as "A=1 R5=2".
std::string Fields(const KeyRecord& r) {
    std::string fields;
    const std::pair<const char*, const std::string*> named[] = {
        {"A", &r.A}, {"B", &r.B}, {"C", &r.C}, {"D", &r.D}, {"E", &r.E}, {"F", &r.F},
        {"G", &r.G}, {"H", &r.H}, {"I", &r.I}, {"L", &r.L}, {"S", &r.S}};
    for (const auto& [name, value] : named)
        if (!value->empty())
            fields += std::string(fields.empty() ? "" : " ") + name + "=" + *value;
    for (std::size_t i = 0; i < r.R.size(); ++i)
        if (!r.R[i].empty())
            fields += (fields.empty() ? "R" : " R") + std::to_string(i) + "=" + r.R[i];
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
    using Row = std::array<const char*, 5>;
    // clang-format off
    for (const Row& c : {Row{"L", "L", "H", "L", "H"}, Row{"X", "X", "L", "H", "L"},
                         Row{"H", "H", "H", "H", "H"}, Row{"x", "x", "x", "x", "x"},
                         Row{"l", "l", "l", "l", "l"}, Row{"XL", "XL", "XL", "XL", "XL"}}) {
        // clang-format on
        for (std::size_t options = 0; options < 4; ++options)  // bit 0: XL, bit 1: XH
            EXPECT_EQ(TranslateName(c[0], options & 1, options & 2), c[options + 1]) << c[0];
    }
}

TEST(ReadNameValue, TableOfCellsAppliedInTurn) {
    struct Row {
        std::vector<std::string_view> cells;
        PreferenceValues options;
        std::string fields;
    };
    // clang-format off
    const std::vector<Row> rows{
        // Letter fields in any case, their values formatted.
        {{"a=1", "B=0.31496", "i=.5", "s=2.000", "l=3", "h=4"}, Options(0, 0), "A=1 B=0.315 H=4 I=0.5 L=3 S=2"},
        // X sets nothing untranslated; a small x never translates.
        {{"X=1", "x=1"}, Options(0, 0), ""},
        {{"x=1"}, Options(1, 0), ""},
        {{"L=3", "X=4"}, Options(1, 0), "H=3 L=4"},
        {{"X=27.75", "L=3"}, Options(0, 1), "H=27.75 L=3"},
        // The name is not trimmed again; V or R and a digit name a variable.
        {{"A =1", "V5 =1"}, Options(0, 0), "R5=1"},
        {{"V5=2", "R5=3", "V0=1", "v7=1", "r99=1.0005", "V 5=9", "W5=9"}, Options(0, 0), "R0=1 R5=3 R7=1 R99=1.001"},
        // The index is rounded half to even and must be below 100.
        {{"V100=1", "V2.5=7", "V3.5=8", "V1 2=9", "V99.5=1", "V1E1=4"}, Options(0, 0), "R2=7 R4=8 R10=4 R12=9"},
        // Split at the first "="; a cell without one, or without a name or value, sets nothing.
        {{"A=1=2", "B", "B1.5", "C=", "=5"}, Options(0, 0), "A=1=2"},
    };
    // clang-format on
    for (const Row& row : rows) {
        KeyRecord record;
        for (const std::string_view cell : row.cells) {
            KeyReading reading;
            ReadNameValue(cell, row.options, reading);
            ApplyKeyReading(reading, record);
        }
        EXPECT_EQ(Fields(record), row.fields) << row.cells.front();
    }
}

TEST(ReadKeyCells, RowsThreeToSixThenNameValuePairsCutToTheirFields) {
    const auto sheet = SheetOf(
        {{"A=1", "V1=2", "  DZ120  ", "P1001", "0.5", "GRAND (GM)", "L=31.5", "S=2", "V0=12.500"},
         {"", "", "ABCDEFGHIJKLMN", "P1234567890123", "-99999",
          "A DESCRIPTION LONGER THAN 25 CHARACTERS"}});
    KeyRecord record;
    ApplyKeyReading(ReadKeyCells(*sheet, 1, Options(0, 0)), record);
    EXPECT_EQ(record.TemplateName.View(), "DZ120       ");
    EXPECT_EQ(record.ProgramName.View(), "P1001       ");
    EXPECT_EQ(record.MirrorCount, 0);  // the leading number, halves to even
    EXPECT_EQ(record.Description.View(), "GRAND (GM)               ");
    EXPECT_EQ(Fields(record), "L=31.5 S=2 R0=12.5");  // rows 1 and 2 are not read
    ApplyKeyReading(ReadKeyCells(*sheet, 2, Options(0, 0)), record);
    EXPECT_EQ(record.TemplateName.View(), "ABCDEFGHIJKL");
    EXPECT_EQ(record.ProgramName.View(), "P12345678901");
    EXPECT_EQ(record.Description.View(), "A DESCRIPTION LONGER THAN");
    EXPECT_EQ(record.MirrorCount, -32768);  // saturated
}

TEST(ReadKeyCells, EmptyCellsKeepThePreviousValuesAndAnEmptyRow3StopsTheColumn) {
    const auto sheet = SheetOf({{"K1", "", "T1", "P1", "1", "ONE", "A=1", "B=2"},
                                {"K2", "", "T2", "", "", "", "", "B=3"},
                                {"K3", "", "   ", "P3", "2", "OTHER", "A=9"}});
    KeyRecord record;
    for (const int column : {1, 2, 3})
        ApplyKeyReading(ReadKeyCells(*sheet, column, Options(0, 0)), record);
    EXPECT_EQ(record.TemplateName.View(), "T2          ");
    EXPECT_EQ(record.ProgramName.View(), "P1          ");
    EXPECT_EQ(record.Description.View(), "ONE                      ");
    EXPECT_EQ(Fields(record), "A=1 B=3");
    EXPECT_EQ(record.MirrorCount, 1);  // column 3 changed nothing
}

// A sheet large enough to be read in two halves at once: every column is
// read as alone, and the fields any key sets include those of the first and
// the last column only.
TEST(KeyReadings, EveryColumnOfALargeSheetAsReadAlone) {
    Columns columns;
    for (int key = 1; key <= 2001; ++key)
        columns.push_back(
            {"K", "", "T", "P" + std::to_string(key), "", "", "L=" + std::to_string(key)});
    columns.front().push_back("S=1");
    columns.back()[5] = "LAST";
    const auto sheet = SheetOf(columns);
    const PreferenceValues options = Options(0, 0);
    const KeyReadings readings(*sheet, options);
    for (int column = 1; column <= 2001; ++column) {
        KeyRecord read;
        KeyRecord alone;
        ApplyKeyReading(readings.Column(column), read);
        ApplyKeyReading(ReadKeyCells(*sheet, column, options), alone);
        ASSERT_EQ(read.ProgramName.View(), alone.ProgramName.View()) << column;
        ASSERT_EQ(Fields(read), Fields(alone)) << column;
    }
    EXPECT_TRUE(readings.SetByAnyKey().description);
    KeyRecord first;
    ApplyKeyReading(readings.Column(1), first);
    EXPECT_EQ(Fields(first), "L=1 S=1");
}

}  // namespace
}  // namespace bladeway
