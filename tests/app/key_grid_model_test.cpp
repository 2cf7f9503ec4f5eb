#include "app/key_grid_model.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "core/platform/file_system.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::TempFolder;

// Two keys; the second has a cell with the euro sign (0x80), e acute (0xE9)
// and a byte the code page leaves undefined (0x81).
constexpr std::string_view kTwoKeys =
    "[KEY]\r\nK1\r\nfirst\r\n!\r\n[KEY]\r\nK2\r\n\x80 caf\xE9 \x81\r\nA=1\r\n!\r\n";

TEST(KeyGridModel, StartsWithFiveHundredEmptyColumnsAndRows) {
    KeyGridModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.columnCount(), 500);
    EXPECT_EQ(model.rowCount(), 500);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "");
    EXPECT_EQ(model.data(model.index(499, 499)).toString(), "");
    EXPECT_TRUE(model.flags(model.index(3, 4)).testFlag(Qt::ItemIsEditable));
}

TEST(KeyGridModel, ShowsALoadedFileDecodedFromWindows1252) {
    const TempFolder folder;
    folder.Write("two.dat", kTwoKeys);
    KeyGridModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    ASSERT_TRUE(model.LoadFile(folder.Path().string(), "two.dat", Disk()).ok());
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "K1");
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), "first");
    EXPECT_EQ(model.data(model.index(2, 0)).toString(), "");
    EXPECT_EQ(model.data(model.index(1, 1)).toString(),
              QString::fromUtf8("\u20AC caf\u00E9 \u0081"));
    EXPECT_EQ(model.data(model.index(2, 1), Qt::EditRole).toString(), "A=1");
}

TEST(KeyGridModel, IndexesOutsideTheSheetGiveNothing) {
    const TempFolder folder;
    folder.Write("two.dat", kTwoKeys);
    KeyGridModel model;
    ASSERT_TRUE(model.LoadFile(folder.Path().string(), "two.dat", Disk()).ok());
    // An index made for the larger start-up sheet, used after the load.
    KeyGridModel other;
    const QModelIndex foreign = other.index(400, 400);
    EXPECT_FALSE(model.data(foreign).isValid());
    EXPECT_FALSE(model.setData(foreign, "x"));
    EXPECT_FALSE(model.data(QModelIndex()).isValid());
    EXPECT_FALSE(model.data(model.index(5, 0)).isValid());
    EXPECT_EQ(model.flags(QModelIndex()), Qt::NoItemFlags);
    EXPECT_FALSE(model.headerData(2, Qt::Horizontal).isValid());
    EXPECT_FALSE(model.headerData(-1, Qt::Vertical).isValid());
}

TEST(KeyGridModel, TypedTextReachesTheSheetEncoded) {
    KeyGridModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const QModelIndex cell = model.index(6, 2);  // row 7 of key 3
    ASSERT_TRUE(model.setData(cell, QString::fromUtf8("V5=\u00FC\u20AC")));
    EXPECT_EQ(model.GetSheet().CellText(3, 7), "V5=\xFC\x80");
    EXPECT_EQ(model.data(cell).toString(), QString::fromUtf8("V5=\u00FC\u20AC"));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), cell);
    EXPECT_EQ(changed[0][1].toModelIndex(), cell);
    const auto roles = changed[0][2].value<QList<int>>();
    EXPECT_TRUE(roles.contains(Qt::DisplayRole));
    EXPECT_TRUE(roles.contains(Qt::EditRole));

    // A character the code page cannot hold becomes "?".
    ASSERT_TRUE(model.setData(cell, QString::fromUtf8("\u4E2D")));
    EXPECT_EQ(model.GetSheet().CellText(3, 7), "?");
    // Only the edit role stores.
    EXPECT_FALSE(model.setData(cell, "x", Qt::DisplayRole));
    EXPECT_EQ(model.GetSheet().CellText(3, 7), "?");
}

TEST(KeyGridModel, EveryByteSurvivesShowingAndStoringBack) {
    std::string all;
    for (int byte = 1; byte < 256; ++byte) {
        if (byte != '\r' && byte != '!')
            all += static_cast<char>(byte);
    }
    const TempFolder folder;
    folder.Write("bytes.dat", all + "\r\n!\r\n");
    KeyGridModel model;
    ASSERT_TRUE(model.LoadFile(folder.Path().string(), "bytes.dat", Disk()).ok());
    const QModelIndex cell = model.index(0, 0);
    ASSERT_TRUE(model.setData(cell, model.data(cell, Qt::EditRole)));
    EXPECT_EQ(model.GetSheet().CellText(1, 1), all);
}

TEST(KeyGridModel, AFileThatCannotBeReadLeavesTheSheet) {
    const TempFolder folder;
    folder.Write("two.dat", kTwoKeys);
    KeyGridModel model;
    ASSERT_TRUE(model.LoadFile(folder.Path().string(), "two.dat", Disk()).ok());
    QSignalSpy reset(&model, &QAbstractItemModel::modelAboutToBeReset);
    EXPECT_FALSE(model.LoadFile(folder.Path().string(), "gone.dat", Disk()).ok());
    EXPECT_EQ(reset.count(), 0);
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), "K2");
}

TEST(KeyGridModel, ALoadReplacesEditsAndEarlierCells) {
    const TempFolder folder;
    folder.Write("two.dat", kTwoKeys);
    folder.Write("one.dat", "X\r\n!\r\n");
    KeyGridModel model;
    ASSERT_TRUE(model.LoadFile(folder.Path().string(), "two.dat", Disk()).ok());
    ASSERT_TRUE(model.setData(model.index(0, 0), "edited"));
    ASSERT_TRUE(model.LoadFile(folder.Path().string(), "one.dat", Disk()).ok());
    EXPECT_EQ(model.columnCount(), 1);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "X");
}

TEST(KeyGridModel, HeadingsAreSpreadsheetLettersAndRowNumbers) {
    const KeyGridModel model;
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "A");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "B");
    EXPECT_EQ(model.headerData(25, Qt::Horizontal).toString(), "Z");
    EXPECT_EQ(model.headerData(26, Qt::Horizontal).toString(), "AA");
    EXPECT_EQ(model.headerData(0, Qt::Vertical).toInt(), 1);
    EXPECT_EQ(model.headerData(499, Qt::Vertical).toInt(), 500);
    EXPECT_EQ(ColumnHeading(52), "AZ");
    EXPECT_EQ(ColumnHeading(53), "BA");
    EXPECT_EQ(ColumnHeading(702), "ZZ");
    EXPECT_EQ(ColumnHeading(703), "AAA");
    EXPECT_EQ(ColumnHeading(0), "");
}

}  // namespace
}  // namespace bladeway
