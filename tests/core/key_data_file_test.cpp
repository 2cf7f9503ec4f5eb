#include "core/keydata/key_data_file.h"

#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::TempFolder;

Sheet Parse(std::string content) {
    Sheet sheet;
    sheet.Load(ParseKeyData(std::make_shared<const std::string>(std::move(content))));
    return sheet;
}

// The texts of one column, rows 1 to the row count.
std::vector<std::string> Column(const Sheet& sheet, int column) {
    std::vector<std::string> cells;
    for (int row = 1; row <= sheet.RowCount(); ++row)
        cells.emplace_back(sheet.CellText(column, row));
    return cells;
}

using Cells = std::vector<std::string>;

TEST(KeyDataBlocks, OneColumnPerBlockEndedByABangLine) {
    const Sheet sheet = Parse("K1\r\nA=1\r\n!\r\nK2\r\n!\r\nK3\r\nB=2\r\nC=3\r\n!\r\n");
    EXPECT_EQ(sheet.ColumnCount(), 3);
    EXPECT_EQ(sheet.RowCount(), 3);  // the largest block
    EXPECT_EQ(Column(sheet, 1), (Cells{"K1", "A=1", ""}));
    EXPECT_EQ(Column(sheet, 2), (Cells{"K2", "", ""}));
    EXPECT_EQ(Column(sheet, 3), (Cells{"K3", "B=2", "C=3"}));
}

TEST(KeyDataBlocks, FileEndingRightAfterTheLastBangLosesTheBlockBeforeIt) {
    const Sheet sheet = Parse("K1\r\n!\r\nK2\r\n!");
    EXPECT_EQ(sheet.ColumnCount(), 1);
    EXPECT_EQ(Column(sheet, 1), (Cells{"K1"}));
}

TEST(KeyDataBlocks, TextAfterTheLastBangIsHiddenButCountsTowardsTheRows) {
    const Sheet sheet = Parse("K1\r\n!\r\nT1\r\nT2\r\nT3\r\n");
    EXPECT_EQ(sheet.ColumnCount(), 1);
    EXPECT_EQ(sheet.RowCount(), 3);
    EXPECT_EQ(Column(sheet, 1), (Cells{"K1", "", ""}));
}

TEST(KeyDataBlocks, NoBangMeansNoColumn) {
    const Sheet sheet = Parse("K1\r\nA=1\r\n");
    EXPECT_EQ(sheet.ColumnCount(), 0);
    EXPECT_EQ(sheet.RowCount(), 2);
}

TEST(KeyDataBlocks, EmptyFileGivesNoColumnAndNoRow) {
    const Sheet sheet = Parse("");
    EXPECT_EQ(sheet.ColumnCount(), 0);
    EXPECT_EQ(sheet.RowCount(), 0);
}

TEST(KeyDataBlocks, BangInsideALineEndsTheBlockAndDropsTwoCharacters) {
    // "AB" is the block's last line; "CD" are dropped; the rest of the line is
    // empty and still makes the next block's first (empty) data line.
    const Sheet sheet = Parse("K1\r\nAB!CD\r\nK2\r\n!\r\n");
    EXPECT_EQ(sheet.ColumnCount(), 2);
    EXPECT_EQ(Column(sheet, 1), (Cells{"K1", "AB"}));
    EXPECT_EQ(Column(sheet, 2), (Cells{"", "K2"}));
}

TEST(KeyDataBlocks, BangInsideALineKeepsWhatFollowsTheTwoDroppedCharacters) {
    const Sheet sheet = Parse("K1!xyEXTRA\r\nK1b\r\n!\r\n");
    EXPECT_EQ(Column(sheet, 2), (Cells{"EXTRA", "K1b"}));
    EXPECT_EQ(Column(sheet, 1), (Cells{"K1", ""}));
}

TEST(KeyDataHeadings, HeadingLinesTakeNoRow) {
    const Sheet sheet = Parse("[Key]\r\nK1\r\n[Values]\r\nA=1.5\r\n!\r\n");
    EXPECT_EQ(sheet.RowCount(), 2);
    EXPECT_EQ(Column(sheet, 1), (Cells{"K1", "A=1.5"}));
}

TEST(KeyDataHeadings, OnlySpacesMayPrecedeTheBracket) {
    const Sheet sheet = Parse("   [hidden\r\n\t[shown\r\n!\r\n");
    EXPECT_EQ(Column(sheet, 1), (Cells{"\t[shown"}));
}

TEST(KeyDataCells, KeepLeadingAndTrailingSpacesAndEmptyLines) {
    const Sheet sheet = Parse("  K1 \r\n\r\nA=1\r\n!\r\n");
    EXPECT_EQ(Column(sheet, 1), (Cells{"  K1 ", "", "A=1"}));
}

TEST(KeyDataCells, TheCharacterAfterEachCrIsDroppedWhateverItIs) {
    const Sheet sheet = Parse("K1\rXA=1\r\n!\r\n");
    EXPECT_EQ(Column(sheet, 1), (Cells{"K1", "A=1"}));
}

TEST(KeyDataCells, LinesWithoutLineFeedsAndNulBytesAreKept) {
    const Sheet sheet = Parse(std::string("N\0L\r\n!\r\n", 8));
    EXPECT_EQ(Column(sheet, 1), (Cells{std::string("N\0L", 3)}));
}

TEST(KeyDataCells, BlockOfOnlyBangsGivesEmptyColumns) {
    const Sheet sheet = Parse("!\r\n!\r\n!\r\n");
    EXPECT_EQ(sheet.ColumnCount(), 3);
    EXPECT_EQ(sheet.RowCount(), 0);
}

TEST(LoadKeyDataFile, ReplacesTheWholeSheetOnEachLoad) {
    TempFolder folder;
    folder.Write("a.dat", "A1\r\nA2\r\nA3\r\n!\r\nB1\r\n!\r\n");
    folder.Write("b.dat", "C1\r\n!\r\n");
    Sheet sheet;
    ASSERT_TRUE(LoadKeyDataFile(folder.Path().string(), "a.dat", sheet).ok());
    EXPECT_EQ(sheet.ColumnCount(), 2);
    ASSERT_TRUE(LoadKeyDataFile(folder.WithSeparator(), "b.dat", sheet).ok());
    EXPECT_EQ(sheet.ColumnCount(), 1);
    EXPECT_EQ(sheet.RowCount(), 1);
    EXPECT_EQ(sheet.CellText(1, 1), "C1");
}

TEST(LoadKeyDataFile, UnreadableFileLeavesTheSheetAsItWasAndSaysWhy) {
    TempFolder folder;
    folder.Write("a.dat", "A1\r\n!\r\n");
    Sheet sheet;
    ASSERT_TRUE(LoadKeyDataFile(folder.Path().string(), "a.dat", sheet).ok());
    sheet.SetCellText(1, 1, "edited");

    const Outcome missing = LoadKeyDataFile(folder.Path().string(), "gone.dat", sheet);
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("gone.dat"), std::string::npos);
    std::filesystem::create_directory(folder.Path() / "dir.dat");
    EXPECT_FALSE(LoadKeyDataFile(folder.Path().string(), "dir.dat", sheet).ok());

    EXPECT_EQ(sheet.ColumnCount(), 1);
    EXPECT_EQ(sheet.CellText(1, 1), "edited");
}

TEST(LoadKeyDataFile, RefusesFilesAboveTheSizeLimit) {
    TempFolder folder;
    const std::string path = folder.File("huge.dat");
    std::filesystem::resize_file(folder.Write("huge.dat", ""), kKeyDataFileLimit + 1);
    Sheet sheet;
    const Outcome loaded = LoadKeyDataFile(path, sheet);
    ASSERT_FALSE(loaded.ok());
    EXPECT_NE(loaded.error().find("huge.dat"), std::string::npos);
    EXPECT_EQ(sheet.ColumnCount(), 500);
}

TEST(LoadKeyDataFile, BundledExampleLoadsTwelveKeys) {
    Sheet sheet;
    const auto path = testing::SourceDir() / "examples" / "keys" / "Harbor.dat";
    ASSERT_TRUE(LoadKeyDataFile(path.string(), sheet).ok());
    EXPECT_EQ(sheet.ColumnCount(), 12);
    EXPECT_GE(sheet.RowCount(), 7);
    for (int column = 1; column <= sheet.ColumnCount(); ++column) {
        EXPECT_FALSE(sheet.CellText(column, 3).empty()) << "template name of key " << column;
    }
}

}  // namespace
}  // namespace bladeway
