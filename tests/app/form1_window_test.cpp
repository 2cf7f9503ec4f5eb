// The main window at work: the resize rule, leaving, the file list, the
// Preferences button.
#include <filesystem>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "app/data_file_list.h"
#include "app/form1_fixture.h"
#include "app/key_grid_model.h"
#include "dialogs/pref.h"
#include "dialogs/window_placement.h"
#include "support/qt_helpers.h"

namespace bladeway {
namespace {

using testing::Form1Test;
using testing::WaitFor;
using testing::WhenModalShown;

std::string Setting(Form1& form, const char* section, const char* key) {
    return form.Settings().ReadSetting(section, key);
}

// Gives the shown window this outer size and waits until the resize rule has
// stored it.
void ResizeOuter(Form1& form, std::int64_t height, std::int64_t width) {
    SetOuterHeight(form, height);
    SetOuterWidth(form, width);
    EXPECT_TRUE(WaitFor([&] {
        return Setting(form, "Positions", "MainHeight") == std::to_string(height) &&
               Setting(form, "Positions", "MainWidth") == std::to_string(width);
    }));
}

class Form1WindowTest : public Form1Test {
  protected:
    std::unique_ptr<Form1> StartShown() {
        WriteSettings("[Positions]\r\nMainHeight=4500\r\nMainWidth=7500\r\n");
        auto form = Start();
        Show(*form);
        return form;
    }
};

TEST_F(Form1WindowTest, TheGridFollowsTheWindowAndTheSizeIsStored) {
    const auto form = StartShown();
    ResizeOuter(*form, 7500, 9000);
    // 7500 - 740 = 6760 twips, 9000 - 2720 = 6280 twips.
    EXPECT_EQ(form->KeyData().geometry(), QRect(168, 16, 419, 451));
    // Only the grid moves.
    EXPECT_EQ(form->File1().geometry(), QRect(24, 16, 121, 175));
    EXPECT_EQ(form->Ext().geometry(), QRect(24, 272, 121, 25));
}

TEST_F(Form1WindowTest, TheGridKeepsItsSizeWhereTooLittleWouldBeLeft) {
    const auto form = StartShown();
    ResizeOuter(*form, 855, 2835);  // 115 twips left each way
    EXPECT_EQ(form->KeyData().size(), QSize(8, 8));
    ResizeOuter(*form, 840, 2820);  // exactly 100 twips: kept
    EXPECT_EQ(form->KeyData().size(), QSize(8, 8));
    ResizeOuter(*form, 600, 9000);  // height kept, width follows
    EXPECT_EQ(form->KeyData().size(), QSize(419, 8));
    EXPECT_EQ(form->KeyData().pos(), QPoint(168, 16));
}

TEST_F(Form1WindowTest, ResizingBeforeTheStartUpEndsStoresNothing) {
    Form1 form(Environment());
    form.resize(300, 300);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.resize(350, 320);
    QTest::qWait(20);
    EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
    form.hide();
}

TEST_F(Form1WindowTest, TheCloseBoxStoresThePlaceAndEndsTheProgram) {
    const auto form = StartShown();
    form->move(-4, -8);  // as a maximized window reports itself
    ASSERT_TRUE(WaitFor([&] { return form->frameGeometry().topLeft() == QPoint(-4, -8); }));
    form->close();
    EXPECT_EQ(endCount, 1);
    EXPECT_EQ(Setting(*form, "Positions", "MainTop"), "-120");
    EXPECT_EQ(Setting(*form, "Positions", "MainLeft"), "-60");
    // The next start uses the absolute values.
    const auto next = Start();
    EXPECT_EQ(next->frameGeometry().topLeft(), QPoint(4, 8));
}

TEST_F(Form1WindowTest, ExitEndsAtOnceAndStoresNothing) {
    const auto form = StartShown();
    form->move(30, 45);
    ASSERT_TRUE(WaitFor([&] { return form->frameGeometry().topLeft() == QPoint(30, 45); }));
    const std::string before = ReadSettings();
    QTest::mouseClick(&form->Ext(), Qt::LeftButton);
    EXPECT_EQ(endCount, 1);
    EXPECT_EQ(ReadSettings(), before);
    // The next start is where the last close-box exit left the window.
    EXPECT_EQ(Start()->frameGeometry().topLeft(), QPoint(0, 0));
}

TEST_F(Form1WindowTest, PickingAFileLoadsItIntoTheGrid) {
    const QString keys = ExampleKeysFolder();
    testing::WriteBytes(folder.Path() / "keys" / "Small.DAT", "[KEY]\r\nS 1\r\nsmall\r\n!\r\n");
    WriteSettings("[Paths]\r\nSource=" + keys.toStdString() + "\r\n");
    const auto form = Start();
    Show(*form);
    DataFileList& list = form->File1();
    ASSERT_EQ(list.count(), 2);
    ASSERT_EQ(list.item(0)->text(), "Harbor.dat");

    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier,
                      list.visualItemRect(list.item(0)).center());
    const Sheet& sheet = form->KeyGrid().GetSheet();
    EXPECT_EQ(sheet.ColumnCount(), 12);  // the example holds twelve keys
    EXPECT_EQ(sheet.CellText(1, 1), "GM 1");
    EXPECT_EQ(sheet.CellText(1, 3), "DZ120");
    EXPECT_EQ(sheet.CellText(2, 1), "M 1.1");
    EXPECT_EQ(form->KeyGrid().data(form->KeyGrid().index(3, 0)).toString(), "P1001");

    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(sheet.ColumnCount(), 1);
    EXPECT_EQ(sheet.RowCount(), 2);
    EXPECT_EQ(sheet.CellText(1, 2), "small");
}

TEST_F(Form1WindowTest, AFileThatCannotBeReadLeavesTheGrid) {
    const QString keys = ExampleKeysFolder();
    testing::WriteBytes(folder.Path() / "keys" / "Vanishing.dat", "V\r\n!\r\n");
    WriteSettings("[Paths]\r\nSource=" + keys.toStdString() + "\r\n");
    const auto form = Start();
    DataFileList& list = form->File1();
    ASSERT_EQ(list.count(), 2);
    list.setCurrentRow(0);
    ASSERT_EQ(form->KeyGrid().GetSheet().ColumnCount(), 12);
    // Gone between the listing and the pick (no events run in between).
    std::filesystem::remove(folder.Path() / "keys" / "Vanishing.dat");
    list.setCurrentRow(1);
    EXPECT_EQ(form->KeyGrid().GetSheet().ColumnCount(), 12);
    EXPECT_EQ(form->KeyGrid().GetSheet().CellText(1, 1), "GM 1");
    EXPECT_EQ(endCount, 0);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Form1WindowTest, TypedCellsReachTheSheet) {
    const auto form = StartShown();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTableView& grid = form->KeyData();
    grid.setFocus();
    grid.setCurrentIndex(form->KeyGrid().index(6, 1));
    // Typing on a cell opens its editor; the keys after the first go there.
    for (const char c : std::string("A=2.5"))
        QTest::keyClick(QApplication::focusWidget(), c);
    // Enter commits the editor's text (the item view does so queued).
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(WaitFor([&] { return !form->KeyGrid().GetSheet().CellText(2, 7).empty(); }));
    EXPECT_EQ(form->KeyGrid().GetSheet().CellText(2, 7), "A=2.5");
}

TEST_F(Form1WindowTest, PreferencesOpensWhereItsPlaceIsStoredAndWritesNothingItself) {
    const auto form = StartShown();
    ASSERT_TRUE(form->Settings().WriteSetting("Positions", "PrefTop", "1500").ok());
    ASSERT_TRUE(form->Settings().WriteSetting("Positions", "PrefLeft", "-3000").ok());
    const std::string before = ReadSettings();
    QPoint shownAt;
    WhenModalShown("Pref", [&](QWidget& dialog) {
        // Once the dialog is on the screen with its frame.
        WaitFor([&] { return OuterTop(dialog) == 1500 && OuterLeft(dialog) == 3000; });
        shownAt = QPoint(static_cast<int>(OuterLeft(dialog)), static_cast<int>(OuterTop(dialog)));
        QTest::mouseClick(&form->PreferencesDialog()->BtnCan(), Qt::LeftButton);
    });
    QTest::mouseClick(&form->Prf(), Qt::LeftButton);
    EXPECT_EQ(shownAt, QPoint(3000, 1500));  // a negative stored edge counts as positive
    EXPECT_EQ(ReadSettings(), before);
}

TEST_F(Form1WindowTest, PreferencesOkPointsTheFileListAtTheSource) {
    const QString keys = ExampleKeysFolder("other keys");
    const auto form = StartShown();
    WhenModalShown("Pref", [&](QWidget&) {
        Pref& pref = *form->PreferencesDialog();
        pref.SrcPath().clear();
        QTest::keyClicks(&pref.SrcPath(), keys);
        QTest::mouseClick(&pref.BtnOK(), Qt::LeftButton);
    });
    QTest::mouseClick(&form->Prf(), Qt::LeftButton);
    EXPECT_EQ(form->File1().Folder(), keys);
    EXPECT_EQ(form->File1().count(), 1);
    EXPECT_EQ(form->Preferences().SrcPath, keys.toStdString());

    // A source that cannot be listed is stored but leaves the list.
    WhenModalShown("Pref", [&](QWidget&) {
        Pref& pref = *form->PreferencesDialog();
        pref.SrcPath().clear();
        QTest::keyClicks(&pref.SrcPath(), "no such folder");
        QTest::mouseClick(&pref.BtnOK(), Qt::LeftButton);
    });
    QTest::mouseClick(&form->Prf(), Qt::LeftButton);
    EXPECT_EQ(form->File1().Folder(), keys);
    EXPECT_EQ(Setting(*form, "Paths", "Source"), "no such folder");
}

TEST_F(Form1WindowTest, TheHiddenVarsButtonReadsTheEditorsPlace) {
    const auto form = StartShown();
    events.clear();
    bool editorShown = false;
    // The editor is modal: close it from the event loop it runs.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&editorShown] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == QStringLiteral("VarSub") && window->isVisible()) {
                editorShown = true;
                window->close();
            }
        }
    });
    closer.start(10);
    form->BtnVars().click();
    EXPECT_TRUE(editorShown);
    EXPECT_GE(std::count(events.begin(), events.end(), "read " + SettingsPath()), 2);
    EXPECT_EQ(endCount, 0);
}

}  // namespace
}  // namespace bladeway
