#include "core/keydata/sheet.h"

#include <memory>

#include <gtest/gtest.h>

namespace bladeway {
namespace {

// A loaded sheet of two columns over one buffer: column 1 holds "a" and "bb",
// column 2 holds "c".
LoadedSheet TwoColumns() {
    LoadedSheet loaded;
    loaded.buffer = std::make_shared<const std::string>("a bb c");
    loaded.columnCount = 2;
    loaded.rowCount = 2;
    loaded.columnFirstSpan = {0, 2, 3};
    loaded.spans = {{0, 1}, {2, 2}, {5, 1}};
    return loaded;
}

TEST(Sheet, StartsWith500By500EmptyCells) {
    const Sheet sheet;
    EXPECT_EQ(sheet.ColumnCount(), 500);
    EXPECT_EQ(sheet.RowCount(), 500);
    EXPECT_EQ(sheet.CellText(1, 1), "");
    EXPECT_EQ(sheet.CellText(500, 500), "");
}

TEST(Sheet, CellsOutsideTheSheetReadEmptyAndRefuseWrites) {
    Sheet sheet;
    EXPECT_FALSE(sheet.SetCellText(501, 1, "x"));
    EXPECT_FALSE(sheet.SetCellText(0, 1, "x"));
    EXPECT_EQ(sheet.CellText(501, 1), "");
    EXPECT_EQ(sheet.CellText(-1, -1), "");
}

TEST(Sheet, CurrentCellAddressesReadsAndWrites) {
    Sheet sheet;
    sheet.SetCurrentColumn(3);
    sheet.SetCurrentRow(7);
    sheet.SetCurrentText("  A=1.5 ");
    EXPECT_EQ(sheet.CellText(3, 7), "  A=1.5 ");
    EXPECT_EQ(sheet.CurrentText(), "  A=1.5 ");
}

TEST(Sheet, LoadShowsTheBufferCellsAndClearsEarlierEdits) {
    Sheet sheet;
    sheet.SetCellText(1, 1, "old");
    sheet.SetCellText(9, 9, "old");
    sheet.Load(TwoColumns());
    EXPECT_EQ(sheet.ColumnCount(), 2);
    EXPECT_EQ(sheet.RowCount(), 2);
    EXPECT_EQ(sheet.CellText(1, 1), "a");
    EXPECT_EQ(sheet.CellText(1, 2), "bb");
    EXPECT_EQ(sheet.CellText(2, 1), "c");
    EXPECT_EQ(sheet.CellText(2, 2), "");  // column 2 has one line only
}

TEST(Sheet, EditOverridesALoadedCell) {
    Sheet sheet;
    sheet.Load(TwoColumns());
    ASSERT_TRUE(sheet.SetCellText(1, 2, "edited"));
    EXPECT_EQ(sheet.CellText(1, 2), "edited");
    EXPECT_EQ(sheet.CellText(1, 1), "a");
}

TEST(Sheet, ShrinkingDropsCellsThatDoNotComeBackWhenGrowing) {
    Sheet sheet;
    sheet.Load(TwoColumns());
    sheet.SetCellText(2, 2, "edit");
    sheet.SetColumnCount(1);
    sheet.SetRowCount(1);
    EXPECT_EQ(sheet.CellText(2, 1), "");
    sheet.SetColumnCount(2);
    sheet.SetRowCount(2);
    EXPECT_EQ(sheet.CellText(2, 1), "");
    EXPECT_EQ(sheet.CellText(2, 2), "");
    EXPECT_EQ(sheet.CellText(1, 1), "a");
}

TEST(Sheet, NegativeCountsCountAsZero) {
    Sheet sheet;
    sheet.SetColumnCount(-1);
    sheet.SetRowCount(-5);
    EXPECT_EQ(sheet.ColumnCount(), 0);
    EXPECT_EQ(sheet.RowCount(), 0);
}

}  // namespace
}  // namespace bladeway
