// The main window's two views: the data file list and the key grid model.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "app/data_file_list.h"
#include "app/key_grid_model.h"
#include "core/keydata/key_data_file.h"
#include "support/qt_helpers.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

QStringList Names(const QListWidget& list) {
    QStringList names;
    for (int row = 0; row < list.count(); ++row)
        names.append(list.item(row)->text());
    return names;
}

// What to list and keep chosen is MainWindowModel's (MainWindowModelTest);
// the list shows it decoded and reports the user's choices, and nothing it
// was told to show (the folder's changes reach the window:
// MainWindowTest.PreferencesOpensAtItsStoredPlaceAndOkPointsTheFileListAtTheSource).
class DataFileListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        list.Show(folder.Path().string(), names, std::nullopt);
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    }

    testing::TempFolder folder;
    std::vector<std::string> names{"b.dat", "T\xC3\xBCr.dat", "d.dat"};
    DataFileList list;
    QSignalSpy chosen{&list, &DataFileList::RowChosen};
};

TEST_F(DataFileListTest, ShowsWhatItIsToldAndReportsOnlyTheUsersChoices) {
    EXPECT_EQ(Names(list), (QStringList{"b.dat", QString::fromUtf8("T\u00FCr.dat"), "d.dat"}));
    EXPECT_EQ(list.Folder().toStdString(), folder.Path().string());
    // With nothing selected, the first arrow chooses the row of the focus frame.
    QTest::keyClick(&list, Qt::Key_Down);
    testing::ClickItem(list, list.model()->index(2, 0));
    QTest::keyClick(&list, Qt::Key_Up);
    ASSERT_EQ(chosen.count(), 3);
    EXPECT_EQ(chosen[0][0].toInt(), 0);
    EXPECT_EQ(chosen[1][0].toInt(), 2);
    EXPECT_EQ(chosen[2][0].toInt(), 1);
    list.Show(folder.Path().string(), names, 2);
    EXPECT_EQ(list.SelectedFileName(), "d.dat");
    EXPECT_EQ(chosen.count(), 3);  // what it was told to show is no choice
}

// The key grid over the sheet: it shows the sheet's cells and hands edits
// back to its owner; replacing the sheet resets the view.

class KeyGridModelTest : public ::testing::Test {
  protected:
    QString At(int row, int column) { return model.data(model.index(row, column)).toString(); }

    OwnedSheet sheet;
    KeyGridModel model{sheet};
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

// The second key has the euro sign, e acute and a byte the code page leaves undefined.
constexpr const char* kTwoKeys =
    "[KEY]\r\nK1\r\nfirst\r\n!\r\n[KEY]\r\nK2\r\n\x80 caf\xE9 \x81\r\nA=1\r\n!\r\n";

TEST_F(KeyGridModelTest, StartsWithFiveHundredEditableKeysShowsAReplacedSheetDecodedOnly) {
    EXPECT_EQ(model.columnCount(), 500);
    EXPECT_EQ(model.rowCount(), 500);
    EXPECT_EQ(At(499, 499), "");
    EXPECT_TRUE(model.flags(model.index(3, 4)).testFlag(Qt::ItemIsEditable));
    // The headings' rule is the core's (KeyGridColumnHeading, KeyGridRowHeading).
    EXPECT_EQ(model.headerData(26, Qt::Horizontal).toString(), "AA");
    EXPECT_EQ(model.headerData(499, Qt::Vertical).toInt(), 500);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    Sheet loaded;
    loaded.Load(ParseKeyData(std::make_shared<const std::string>(kTwoKeys)));
    sheet.Replace(std::move(loaded));
    model.SheetReplaced();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(At(1, 0), "first");
    EXPECT_EQ(At(2, 0), "");
    EXPECT_EQ(At(1, 1), QString::fromUtf8("\u20AC caf\u00E9 \u0081"));
    EXPECT_EQ(model.data(model.index(2, 1), Qt::EditRole).toString(), "A=1");
    // Even an index made for the larger start-up sheet gives nothing.
    OwnedSheet larger;
    const QModelIndex foreign = KeyGridModel(larger).index(400, 400);
    EXPECT_FALSE(model.data(foreign).isValid());
    EXPECT_FALSE(model.setData(foreign, "x"));
    EXPECT_EQ(model.flags(QModelIndex()), Qt::NoItemFlags);
    EXPECT_FALSE(model.headerData(2, Qt::Horizontal).isValid());
    EXPECT_FALSE(model.headerData(-1, Qt::Vertical).isValid());
}

TEST_F(KeyGridModelTest, TypedTextReachesTheSheetEncoded) {
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const QModelIndex cell = model.index(6, 2);  // row 7 of key 3
    ASSERT_TRUE(model.setData(cell, QString::fromUtf8("V5=\u00FC\u20AC")));
    EXPECT_EQ(sheet.Cells().CellText(3, 7), "V5=\xFC\x80");
    EXPECT_EQ(model.data(cell).toString(), QString::fromUtf8("V5=\u00FC\u20AC"));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), cell);
    EXPECT_EQ(changed[0][1].toModelIndex(), cell);
    const auto roles = changed[0][2].value<QList<int>>();
    EXPECT_TRUE(roles.contains(Qt::DisplayRole));
    EXPECT_TRUE(roles.contains(Qt::EditRole));
    EXPECT_FALSE(model.setData(cell, "x", Qt::DisplayRole));  // only the edit role stores
    EXPECT_EQ(sheet.Cells().CellText(3, 7), "V5=\xFC\x80");
}

}  // namespace
}  // namespace bladeway
