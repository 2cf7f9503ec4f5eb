#include "qt_views/substitution_table_dialog.h"

#include <filesystem>

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "core/settings/saved_sheet.h"
#include "qt_views/grid_sheet.h"
#include "qt_views/window_placement.h"
#include "support/qt_helpers.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::ButtonNamed;

QString Text(const QTableWidget& grid, int row, int column) {
    const QTableWidgetItem* item = grid.item(row, column);
    return item != nullptr ? item->text() : QString();
}

void Type(QTableWidget& grid, int row, int column, const QString& text) {
    grid.setItem(row, column, new QTableWidgetItem(text));
}

// Sizes the window from outside, frame included, in pixels.
void ResizeOuter(QWidget& window, int width, int height) {
    SetOuterHeight(window, height * 15);
    SetOuterWidth(window, width * 15);
    QApplication::processEvents();
}

// An editor's model and its window, as the main window makes them.
struct Editor {
    Editor(SettingsFile settings, std::string table)
        : model(Disk(), std::move(table), std::move(settings)), dialog(model) {}
    SubstitutionTableModel model;
    SubstitutionTableDialog dialog;
};

class SubstitutionTableDialogTest : public ::testing::Test {
  protected:
    SettingsFile Settings() const { return SettingsFile(temp.File("Bladeway.INI")); }
    std::string Table() const { return temp.File("VarTab.Dat"); }
    bool Exists(const char* name) const { return std::filesystem::exists(temp.File(name)); }
    std::unique_ptr<Editor> Create() { return std::make_unique<Editor>(Settings(), Table()); }

    testing::TempFolder temp;
};

TEST_F(SubstitutionTableDialogTest, TheFirstSheetButtonsAndTheirLayoutOnResize) {
    const auto editor = Create();
    SubstitutionTableDialog* const dialog = &editor->dialog;
    const QTableWidget& grid = dialog->Grid();
    EXPECT_EQ(dialog->windowTitle(), "Variable Substitution Table");
    EXPECT_EQ(CaptureSheet(grid), SubstitutionTableModel::FirstSheet());
    EXPECT_EQ(grid.verticalHeaderItem(10)->text(), "I");
    EXPECT_EQ(grid.horizontalHeaderItem(0), nullptr);  // the grid's default headings
    // Neither button is the default.
    QPushButton& ok = ButtonNamed(*dialog, "BtnOK");
    QPushButton& cancel = ButtonNamed(*dialog, "BtnCan");
    EXPECT_EQ(ok.text(), "OK");
    EXPECT_EQ(cancel.text(), "Cancel");
    EXPECT_FALSE(ok.isDefault());
    EXPECT_FALSE(ok.autoDefault());
    EXPECT_FALSE(cancel.autoDefault());
    EXPECT_EQ(cancel.nextInFocusChain(), &ok);
    dialog->show();
    ResizeOuter(*dialog, 600, 400);  // 9000 x 6000 twips
    // Grid 200, 200, 9000 - 500 = 8500 wide, 6000 - 1400 = 4600 high;
    // buttons 4600 + 400 = 5000 down; Cancel ends at 8500 + 200 twips.
    EXPECT_EQ(grid.geometry(), QRect(13, 13, 567, 307));
    EXPECT_EQ(ok.geometry(), QRect(13, 333, 81, 33));
    EXPECT_EQ(cancel.geometry(), QRect(499, 333, 81, 33));
    dialog->hide();
}

TEST_F(SubstitutionTableDialogTest, EnterDoesNotCloseEscapePressesCancelWhichWritesNothing) {
    const auto editor = Create();
    SubstitutionTableDialog* const dialog = &editor->dialog;
    dialog->show();
    Type(dialog->Grid(), 0, 0, "abandoned");
    QTest::keyClick(dialog, Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    QSignalSpy cancelled(&ButtonNamed(*dialog, "BtnCan"), &QPushButton::clicked);
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(Exists("VarTab.Dat"));
    EXPECT_FALSE(Exists("Bladeway.INI"));
    dialog->show();  // with no file, nothing is loaded over the abandoned edit
    EXPECT_EQ(Text(dialog->Grid(), 0, 0), "abandoned");
    dialog->hide();
}

TEST_F(SubstitutionTableDialogTest, OkSavesTheTableWithItsColumnWidthsButNoPlace) {
    const auto editor = Create();
    SubstitutionTableDialog* const dialog = &editor->dialog;
    dialog->show();
    Type(dialog->Grid(), 3, 4, "0.25");
    dialog->Grid().setColumnWidth(4, 150);
    QTest::mouseClick(&ButtonNamed(*dialog, "BtnOK"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const auto again = Create();
    again->dialog.show();
    EXPECT_EQ(CaptureSheet(again->dialog.Grid()), CaptureSheet(dialog->Grid()));
    EXPECT_EQ(again->dialog.Grid().columnWidth(4), 150);
    EXPECT_FALSE(Exists("Bladeway.INI"));  // OK and Cancel store no place
    again->dialog.hide();
}

// Closed from its frame: unloaded, no table saved, the place (signs kept)
// and size stored after what the file held.
TEST_F(SubstitutionTableDialogTest, ClosingFromTheFrameUnloadsItSavesNoTableAndStoresThePlace) {
    temp.Write("Bladeway.INI", "[Positions]\r\nMainTop=10\r\n");
    const auto editor = Create();
    SubstitutionTableDialog* const dialog = &editor->dialog;
    dialog->show();
    ResizeOuter(*dialog, 400, 300);
    dialog->move(-4, -8);
    EXPECT_FALSE(editor->model.Unloaded());
    Type(dialog->Grid(), 0, 0, "not kept");
    dialog->close();
    EXPECT_TRUE(editor->model.Unloaded());
    EXPECT_FALSE(Exists("VarTab.Dat"));
    EXPECT_EQ(testing::ReadBytes(temp.File("Bladeway.INI")),
              "[Positions]\r\nMainTop=10\r\nVarSubTop=-120\r\nVarSubLeft=-60\r\n"
              "VarSubHeight=4500\r\nVarSubWidth=6000\r\n");
}

// The grid's sheet in the core's form, which the table file holds.

TEST(GridSheet, ApplyingACapturedSheetGivesItBackWhole) {
    QTableWidget grid(11, 50);  // shaped like the table, with edits of every kind
    grid.setVerticalHeaderItem(10, new QTableWidgetItem(QStringLiteral("I")));
    grid.setHorizontalHeaderItem(3, new QTableWidgetItem(QStringLiteral("Depth")));
    Type(grid, 0, 0, QStringLiteral("12.5"));
    Type(grid, 10, 49, QStringLiteral("last"));
    Type(grid, 4, 7, QStringLiteral("quote \" back\\slash\r\nline é €"));
    Type(grid, 5, 5, QStringLiteral("  padded  "));
    grid.setColumnWidth(49, 210);
    grid.setRowHeight(2, 55);
    const SavedSheet sheet = CaptureSheet(grid);
    EXPECT_EQ(sheet.cells.at({4, 7}), "quote \" back\\slash\r\nline \xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(sheet.rowHeaders[10], "I");
    EXPECT_EQ(sheet.rowHeaders[0], std::nullopt);  // the grid's default heading
    EXPECT_EQ(sheet.columnWidths[49], 210);
    EXPECT_EQ(sheet.rowHeights[2], 55);

    QTableWidget loaded(3, 3);
    Type(loaded, 2, 2, QStringLiteral("old"));
    loaded.setHorizontalHeaderItem(0, new QTableWidgetItem(QStringLiteral("named")));
    ApplySheet(loaded, sheet);
    EXPECT_EQ(CaptureSheet(loaded), sheet);
    EXPECT_EQ(loaded.item(2, 2), nullptr);  // the old cell did not linger
    EXPECT_EQ(loaded.horizontalHeaderItem(0), nullptr);
    // A plain or empty sheet replaces everything, default headings included.
    for (const auto& [rows, columns] : {std::pair{11, 50}, std::pair{0, 0}}) {
        const QTableWidget plain(rows, columns);
        ApplySheet(loaded, CaptureSheet(plain));
        EXPECT_EQ(CaptureSheet(loaded), CaptureSheet(plain)) << rows;
    }
}

}  // namespace
}  // namespace bladeway
