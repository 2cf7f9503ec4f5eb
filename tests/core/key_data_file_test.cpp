// Key data files into the sheet, the sheet itself, and the key record.
#include "core/keydata/key_data_file.h"

#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "core/keydata/key_record.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

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
        {"K1\r\nA=1\r\n!\r\nK2\r\n!\r\nK3\r\nB=2\r\nC=3\r\n!\r\n",
         3,
         {{"K1", "A=1", ""}, {"K2", "", ""}, {"K3", "B=2", "C=3"}}},
        // A file ending right after the last "!" loses the block before it.
        {"K1\r\n!\r\nK2\r\n!", 1, {{"K1"}}},
        // Text after the last "!" is hidden but counts towards the rows.
        {"K1\r\n!\r\nT1\r\nT2\r\nT3\r\n", 3, {{"K1", "", ""}}},
        {"K1\r\nA=1\r\n", 2, {}},
        {"", 0, {}},
        {"!\r\n!\r\n!\r\n", 0, {{}, {}, {}}},
        // A "!" inside a line ends the block and drops the two characters after
        // it; the rest of the line is the next block's first line.
        {"K1\r\nAB!CD\r\nK2\r\n!\r\n", 2, {{"K1", "AB"}, {"", "K2"}}},
        {"K1!xyEXTRA\r\nK1b\r\n!\r\n", 2, {{"K1", ""}, {"EXTRA", "K1b"}}},
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
    std::filesystem::create_directory(folder.Path() / "dir.dat");
    EXPECT_FALSE(LoadKeyDataFile(folder.Path().string(), "dir.dat", sheet).ok());
    std::filesystem::resize_file(folder.Write("huge.dat", ""), kKeyDataFileLimit + 1);
    const Outcome huge = LoadKeyDataFile(folder.File("huge.dat"), sheet);
    ASSERT_FALSE(huge.ok());
    EXPECT_NE(huge.error().find("huge.dat"), std::string::npos);
    EXPECT_EQ(AllColumns(sheet), Columns{{"edited"}});
}

TEST(LoadKeyDataFile, BundledExampleLoadsTwelveKeys) {
    Sheet sheet;
    const auto path = testing::SourceDir() / "examples" / "keys" / "Harbor.dat";
    ASSERT_TRUE(LoadKeyDataFile(path.string(), sheet).ok());
    EXPECT_EQ(sheet.ColumnCount(), 12);
    EXPECT_GE(sheet.RowCount(), 7);
    for (int column = 1; column <= sheet.ColumnCount(); ++column)
        EXPECT_FALSE(sheet.CellText(column, 3).empty()) << "template name of key " << column;
}

TEST(Sheet, Starts500By500AndRefusesCellsOutside) {
    Sheet sheet;
    EXPECT_EQ(sheet.ColumnCount(), 500);
    EXPECT_EQ(sheet.RowCount(), 500);
    EXPECT_EQ(sheet.CellText(500, 500), "");
    EXPECT_FALSE(sheet.SetCellText(501, 1, "x"));
    EXPECT_FALSE(sheet.SetCellText(0, 1, "x"));
    EXPECT_EQ(sheet.CellText(501, 1), "");
    EXPECT_EQ(sheet.CellText(-1, -1), "");
    sheet.SetCurrentColumn(3);
    sheet.SetCurrentRow(7);
    sheet.SetCurrentText("  A=1.5 ");
    EXPECT_EQ(sheet.CellText(3, 7), "  A=1.5 ");
    EXPECT_EQ(sheet.CurrentText(), "  A=1.5 ");
    sheet.SetColumnCount(-1);
    sheet.SetRowCount(-5);
    EXPECT_EQ(sheet.ColumnCount(), 0);
    EXPECT_EQ(sheet.RowCount(), 0);
}

TEST(Sheet, LoadClearsEditsEditsOverrideAndShrinkingDropsCells) {
    // Two columns over one buffer: column 1 holds "a" and "bb", column 2 "c".
    LoadedSheet loaded;
    loaded.buffer = std::make_shared<const std::string>("a bb c");
    loaded.columnCount = 2;
    loaded.rowCount = 2;
    loaded.columnFirstSpan = {0, 2, 3};
    loaded.spans = {{0, 1}, {2, 2}, {5, 1}};
    Sheet sheet;
    sheet.SetCellText(1, 1, "old");
    sheet.Load(loaded);
    EXPECT_EQ(AllColumns(sheet), (Columns{{"a", "bb"}, {"c", ""}}));
    ASSERT_TRUE(sheet.SetCellText(1, 2, "edited"));
    sheet.SetCellText(2, 2, "edit");
    EXPECT_EQ(AllColumns(sheet), (Columns{{"a", "edited"}, {"c", "edit"}}));
    sheet.SetColumnCount(1);
    sheet.SetRowCount(1);
    sheet.SetColumnCount(2);
    sheet.SetRowCount(2);
    EXPECT_EQ(AllColumns(sheet), (Columns{{"a", ""}, {"", ""}}));
}

TEST(KeyRecord, NewRecordHoldsNulsEmptyTextsAndABlankStatus) {
    KeyRecord record;
    EXPECT_EQ(record.TemplateName.View(), std::string(12, '\0'));
    EXPECT_EQ(record.ProgramName.View(), std::string(12, '\0'));
    EXPECT_EQ(record.Description.View(), std::string(25, '\0'));
    EXPECT_EQ(record.Status.View(), std::string(3, '\0'));
    EXPECT_EQ(record.MirrorCount, 0);
    EXPECT_TRUE(record.A.empty() && record.S.empty());
    for (const std::string& entry : record.R)
        EXPECT_TRUE(entry.empty());
    EXPECT_TRUE(IsBlank(record.Status));
    for (const auto& [status, blank] : std::vector<std::pair<std::string, bool>>{
             {"   ", true}, {"", true}, {"GNF", false}, {"I", false}}) {
        record.Status = status;
        EXPECT_EQ(IsBlank(record.Status), blank) << status;
    }
}

}  // namespace
}  // namespace bladeway
