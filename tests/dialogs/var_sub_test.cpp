#include "dialogs/var_sub.h"

#include <filesystem>
#include <functional>

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "core/platform/paths.h"
#include "dialogs/sheet_file.h"
#include "dialogs/window_placement.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::ReadBytes;
using testing::TempFolder;

QString Text(const QTableWidget& grid, int row, int column) {
    const QTableWidgetItem* item = grid.item(row, column);
    return item != nullptr ? item->text() : QString();
}

// Sizes the window from outside, frame included, in pixels.
void ResizeOuter(QWidget& window, int width, int height) {
    SetOuterHeight(window, height * 15);
    SetOuterWidth(window, width * 15);
    QApplication::processEvents();
}

void Type(QTableWidget& grid, int row, int column, const QString& text) {
    grid.setItem(row, column, new QTableWidgetItem(text));
}

class VarSubTest : public ::testing::Test {
  protected:
    SettingsFile Settings() const { return SettingsFile(temp_.File("Bladeway.INI")); }
    QString TableFile() const { return QString::fromStdString(temp_.File("VarTab.Dat")); }
    bool TableExists() const { return std::filesystem::exists(temp_.File("VarTab.Dat")); }
    void WriteSettings(std::string_view text) { temp_.Write("Bladeway.INI", text); }

    std::unique_ptr<VarSub> Create() { return std::make_unique<VarSub>(Settings(), TableFile()); }

    static QPushButton& Button(const VarSub& dialog, const char* name) {
        return *dialog.findChild<QPushButton*>(QLatin1String(name));
    }
    // Runs `action` on the modal dialog once it is up.
    static void WhenModal(std::function<void(VarSub&)> action) {
        QTimer::singleShot(0, [action = std::move(action)] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<VarSub*>(widget);
                if (dialog != nullptr && dialog->isVisible()) {
                    action(*dialog);
                    return;
                }
            }
            ADD_FAILURE() << "no editor shown";
        });
    }

    TempFolder temp_;
};

TEST_F(VarSubTest, FirstSheetHasElevenLetterRowsAndFiftyEmptyColumns) {
    const auto dialog = Create();
    const QTableWidget& grid = dialog->Grid();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Variable Substitution Table"));
    EXPECT_EQ(grid.objectName(), QStringLiteral("VSub"));
    ASSERT_EQ(grid.rowCount(), 11);
    EXPECT_EQ(grid.columnCount(), 50);
    QString headings;
    for (int row = 0; row < grid.rowCount(); ++row)
        headings += grid.verticalHeaderItem(row)->text();
    EXPECT_EQ(headings, QStringLiteral("LHSABCDEFGI"));
    EXPECT_EQ(grid.horizontalHeaderItem(0), nullptr);  // the grid's default headings
    for (int row = 0; row < 11; ++row) {
        for (int column = 0; column < 50; ++column)
            ASSERT_EQ(grid.item(row, column), nullptr);
    }
}

TEST_F(VarSubTest, ButtonsAreNotDefaultAndFollowTheGridInTabOrder) {
    const auto dialog = Create();
    const QPushButton& ok = Button(*dialog, "BtnOK");
    const QPushButton& cancel = Button(*dialog, "BtnCan");
    EXPECT_EQ(ok.text(), QStringLiteral("OK"));
    EXPECT_EQ(cancel.text(), QStringLiteral("Cancel"));
    EXPECT_FALSE(ok.isDefault());
    EXPECT_FALSE(ok.autoDefault());
    EXPECT_FALSE(cancel.autoDefault());
    EXPECT_EQ(cancel.nextInFocusChain(), &ok);
}

TEST_F(VarSubTest, LoadTakesHeightAndWidthFromTheSettings) {
    WriteSettings("[Positions]\r\nVarSubHeight=4500\r\nVarSubWidth=-6000\r\n");
    const auto dialog = Create();
    // -6000 is 6000; the frame is part of the outer size.
    EXPECT_EQ(OuterHeight(*dialog), 4500);
    EXPECT_EQ(OuterWidth(*dialog), 6000);
    const QMargins frame = KnownFrameMargins(*dialog);
    EXPECT_EQ(dialog->size() + QSize(frame.left() + frame.right(), frame.top() + frame.bottom()),
              QSize(400, 300));
}

TEST_F(VarSubTest, NegativeStoredWidthOpensThatManyTwipsWide) {
    WriteSettings("[Positions]\r\nVarSubHeight=4500\r\nVarSubWidth=-600\r\n");
    const auto dialog = Create();
    EXPECT_EQ(OuterWidth(*dialog), 600);
}

TEST_F(VarSubTest, ResizeLaysOutGridAndButtons) {
    const auto dialog = Create();
    dialog->show();
    ResizeOuter(*dialog, 600, 400);  // 9000 x 6000 twips
    // Grid 200, 200, 9000 - 500 = 8500 wide, 6000 - 1400 = 4600 high.
    EXPECT_EQ(dialog->Grid().geometry(), QRect(13, 13, 567, 307));
    // Buttons 4600 + 400 = 5000 down; Cancel ends at 8500 + 200 twips.
    EXPECT_EQ(Button(*dialog, "BtnOK").geometry(), QRect(13, 333, 81, 33));
    EXPECT_EQ(Button(*dialog, "BtnCan").geometry(), QRect(499, 333, 81, 33));
    dialog->hide();
}

TEST_F(VarSubTest, TooSmallWindowKeepsTheGridsSizeAndPlacesButtonsByIt) {
    const auto dialog = Create();
    dialog->show();
    ResizeOuter(*dialog, 600, 400);
    // 100 px high = 1500 twips leaves 100: the grid keeps its 4600 twips.
    ResizeOuter(*dialog, 600, 100);
    EXPECT_EQ(dialog->Grid().height(), 307);
    EXPECT_EQ(Button(*dialog, "BtnOK").y(), 333);
    // 101 px = 1515 twips leaves 115 twips: the grid follows.
    ResizeOuter(*dialog, 600, 101);
    EXPECT_EQ(dialog->Grid().height(), 8);        // 115 twips
    EXPECT_EQ(Button(*dialog, "BtnOK").y(), 34);  // 115 + 400 = 515 twips
    // 40 px wide = 600 twips leaves 100: the width stays too.
    ResizeOuter(*dialog, 40, 400);
    EXPECT_EQ(dialog->Grid().width(), 567);
    EXPECT_EQ(Button(*dialog, "BtnCan").x(), 499);
    dialog->hide();
}

TEST_F(VarSubTest, FirstUseWithoutTableShowsTheFirstSheetAndCancelWritesNothing) {
    const auto dialog = Create();
    dialog->show();
    EXPECT_EQ(dialog->Grid().verticalHeaderItem(10)->text(), QStringLiteral("I"));
    Type(dialog->Grid(), 0, 0, QStringLiteral("edit"));
    QTest::mouseClick(&Button(*dialog, "BtnCan"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(TableExists());
    EXPECT_FALSE(std::filesystem::exists(temp_.File("Bladeway.INI")));
    // With no file, nothing is loaded over the abandoned edit.
    dialog->show();
    EXPECT_EQ(Text(dialog->Grid(), 0, 0), QStringLiteral("edit"));
    dialog->hide();
}

TEST_F(VarSubTest, OkSavesTheTableAndANewEditorShowsIt) {
    {
        const auto dialog = Create();
        dialog->show();
        Type(dialog->Grid(), 3, 4, QStringLiteral("0.25"));
        dialog->Grid().setColumnWidth(4, 150);
        QTest::mouseClick(&Button(*dialog, "BtnOK"), Qt::LeftButton);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
    }
    ASSERT_TRUE(TableExists());
    const auto again = Create();
    again->show();
    EXPECT_EQ(Text(again->Grid(), 3, 4), QStringLiteral("0.25"));
    EXPECT_EQ(again->Grid().columnWidth(4), 150);
    EXPECT_EQ(again->Grid().verticalHeaderItem(1)->text(), QStringLiteral("H"));
    again->hide();
}

TEST_F(VarSubTest, EditCancelReopenBringsBackTheSavedTable) {
    const auto dialog = Create();
    dialog->show();
    Type(dialog->Grid(), 0, 0, QStringLiteral("saved"));
    Button(*dialog, "BtnOK").click();
    dialog->show();
    Type(dialog->Grid(), 0, 0, QStringLiteral("abandoned"));
    Type(dialog->Grid(), 1, 1, QStringLiteral("abandoned too"));
    Button(*dialog, "BtnCan").click();
    // Hidden, the edits are still held...
    EXPECT_EQ(Text(dialog->Grid(), 0, 0), QStringLiteral("abandoned"));
    // ...until showing it again loads the file over them.
    dialog->show();
    EXPECT_EQ(Text(dialog->Grid(), 0, 0), QStringLiteral("saved"));
    EXPECT_EQ(dialog->Grid().item(1, 1), nullptr);
    dialog->hide();
}

TEST_F(VarSubTest, EscapePressesCancel) {
    const auto dialog = Create();
    dialog->show();
    QSignalSpy cancelled(&Button(*dialog, "BtnCan"), &QPushButton::clicked);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(TableExists());
}

TEST_F(VarSubTest, EnterDoesNotCloseTheEditor) {
    const auto dialog = Create();
    dialog->show();
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(TableExists());
    dialog->hide();
}

TEST_F(VarSubTest, DamagedTableLeavesTheGridAsItWas) {
    temp_.Write("VarTab.Dat", "{\"format\": \"Bladeway sheet\", \"version\": 1, \"rows\": 3");
    const auto dialog = Create();
    Type(dialog->Grid(), 2, 2, QStringLiteral("kept"));
    dialog->show();
    EXPECT_EQ(dialog->Grid().rowCount(), 11);
    EXPECT_EQ(Text(dialog->Grid(), 2, 2), QStringLiteral("kept"));
    EXPECT_EQ(dialog->Grid().verticalHeaderItem(0)->text(), QStringLiteral("L"));
    // OK writes a good table over the damaged one.
    Button(*dialog, "BtnOK").click();
    QTableWidget check;
    EXPECT_TRUE(LoadSheetFromFile(check, TableFile()));
    EXPECT_EQ(Text(check, 2, 2), QStringLiteral("kept"));
}

TEST_F(VarSubTest, ClosingFromTheFrameStoresPlaceAndSizeInOrder) {
    WriteSettings("[Positions]\r\nMainTop=10\r\n");
    const auto dialog = Create();
    dialog->move(30, 45);
    dialog->show();
    ResizeOuter(*dialog, 400, 300);
    EXPECT_FALSE(dialog->IsUnloaded());
    dialog->close();
    EXPECT_TRUE(dialog->IsUnloaded());
    EXPECT_EQ(ReadBytes(temp_.File("Bladeway.INI")),
              "[Positions]\r\nMainTop=10\r\nVarSubTop=675\r\nVarSubLeft=450\r\n"
              "VarSubHeight=4500\r\nVarSubWidth=6000\r\n");
    EXPECT_FALSE(TableExists());
}

TEST_F(VarSubTest, NegativePlaceIsStoredWithItsSign) {
    const auto dialog = Create();
    dialog->move(-4, -8);
    dialog->show();
    dialog->close();
    const SettingsFile settings = Settings();
    EXPECT_EQ(settings.ReadSetting("Positions", "VarSubTop"), "-120");
    EXPECT_EQ(settings.ReadSetting("Positions", "VarSubLeft"), "-60");
}

TEST_F(VarSubTest, OkAndCancelStoreNoPlace) {
    const auto dialog = Create();
    dialog->show();
    Button(*dialog, "BtnCan").click();
    dialog->show();
    Button(*dialog, "BtnOK").click();
    EXPECT_FALSE(std::filesystem::exists(temp_.File("Bladeway.INI")));
    EXPECT_FALSE(dialog->IsUnloaded());
}

TEST_F(VarSubTest, HolderOpensModallyAtTheStoredPlace) {
    WriteSettings(
        "[Positions]\r\nVarSubTop=1500\r\nVarSubLeft=-300\r\nVarSubHeight=4500\r\n"
        "VarSubWidth=6000\r\n");
    VarSubHolder holder(nullptr, Settings(), TableFile());
    EXPECT_FALSE(holder.IsLoaded());
    QPoint shownAt;
    bool modal = false;
    WhenModal([&](VarSub& dialog) {
        shownAt = dialog.pos();
        modal = dialog.isModal();
        Type(dialog.Grid(), 0, 0, QStringLiteral("typed"));
        Button(dialog, "BtnCan").click();
    });
    holder.Open();
    EXPECT_TRUE(modal);
    EXPECT_EQ(shownAt, QPoint(20, 100));  // 300 and 1500 twips
    ASSERT_TRUE(holder.IsLoaded());
    // Hidden, not unloaded: the same editor with the abandoned edit.
    EXPECT_EQ(Text(holder.Loaded().Grid(), 0, 0), QStringLiteral("typed"));
    EXPECT_EQ(OuterHeight(holder.Loaded()), 4500);
    EXPECT_EQ(OuterWidth(holder.Loaded()), 6000);
}

TEST_F(VarSubTest, HolderCreatesTheEditorAfreshAfterItWasClosedFromItsFrame) {
    VarSubHolder holder(nullptr, Settings(), TableFile());
    WhenModal([](VarSub& dialog) {
        Type(dialog.Grid(), 0, 0, QStringLiteral("typed"));
        ResizeOuter(dialog, 420, 310);
        dialog.close();
    });
    holder.OpenAt(150, 150);
    EXPECT_FALSE(holder.IsLoaded());
    // The new editor starts from the first sheet and the stored size.
    VarSub& fresh = holder.Loaded();
    EXPECT_EQ(fresh.Grid().item(0, 0), nullptr);
    // Stored and restored outer sizes agree: the window does not grow by its
    // frame from one opening to the next.
    EXPECT_EQ(OuterHeight(fresh), 310 * 15);
    EXPECT_EQ(OuterWidth(fresh), 420 * 15);
    EXPECT_EQ(Settings().ReadPositionSetting("Positions", "VarSubTop"), 150);
}

TEST_F(VarSubTest, HolderWithAParentLeavesTheEditorToIt) {
    auto parent = std::make_unique<QWidget>();
    {
        VarSubHolder holder(parent.get(), Settings(), TableFile());
        EXPECT_EQ(holder.Loaded().parentWidget(), parent.get());
    }
    EXPECT_TRUE(parent->findChildren<VarSub*>().isEmpty());  // the holder deleted it
    VarSubHolder outlived(parent.get(), Settings(), TableFile());
    outlived.Loaded();
    parent.reset();  // the parent deletes the editor first
    EXPECT_FALSE(outlived.IsLoaded());
}

TEST(VarTabFile, LiesBesideTheProgram) {
    EXPECT_EQ(VarTabFileBesideProgram().toStdString(), FolderOfPath(ExeName()) + "VarTab.Dat");
}

}  // namespace
}  // namespace bladeway
