// The main window: start-up, controls, place and size, leaving, the file list
// and the grid, the Preferences and Vars buttons (Process: process_run_test).
#include <filesystem>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QToolTip>

#include "app/data_file_list.h"
#include "app/key_grid_model.h"
#include "qt_views/preferences_dialog.h"
#include "qt_views/window_placement.h"
#include "support/main_window_fixture.h"
#include "support/qt_helpers.h"
#include "support/scoped_environment.h"

namespace bladeway {
namespace {

namespace fs = std::filesystem;
using testing::MainWindowTest;
using testing::WaitFor;
using testing::WhenModalShown;

std::string Setting(MainWindow& form, const char* key) {
    return form.Settings().ReadSetting("Positions", key);
}

// The order of the start-up and that it only reads are the model's
// (MainWindowModelTest.TheStartUpRunsInItsOrderAndOnlyReads); here, that the
// window's own parts wait for the About box and are wired to what was read.
TEST_F(MainWindowTest, TheAboutBoxComesFirstThenTheSettingsBesideTheProgramAreReadNotWritten) {
    const QString keys = ExampleKeysFolder();
    WriteSettings("[Paths]\r\nSource=" + keys.toStdString() +
                  "\r\nTemplate=masters\r\nDestination=out\r\n[Preferences]\r\nTranslateXL= 1\r\n");
    const auto form = Start();
    EXPECT_EQ(aboutAfter, 0U);  // no file touched before it
    EXPECT_FALSE(aboutSawWindow);
    EXPECT_FALSE(form->isVisible());  // the caller shows it
    EXPECT_EQ(SettingsReads(), 10);   // four window values and six preferences, one read each
    for (const std::string& access : fileSystem.Log())
        EXPECT_FALSE(access.starts_with("write")) << access;
    ASSERT_NE(form->PreferencesEditor(), nullptr);
    EXPECT_EQ(form->PreferencesEditor()->TemplateFolderField().text(), "masters");
    EXPECT_EQ(form->FileList().Folder(), keys);  // the list shows the source
    EXPECT_EQ(form->FileList().count(), 1);
    EXPECT_EQ(form->GridView().model(), &form->GridModel());
    // A missing source lists the current folder, and says so beside the list
    // once the window shows (an empty one too:
    // MainWindowModelTest.TheStartUpRunsInItsOrderAndOnlyReads).
    WriteSettings("[Paths]\r\nSource=" + folder.File("nowhere") + "\r\n");
    const auto started = Start();
    EXPECT_EQ(started->FileList().Folder(), QDir::cleanPath(QDir::currentPath()));
    Show(*started);
    started->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(started.get()));
    EXPECT_TRUE(QTest::qWaitFor(
        [] { return QToolTip::text().contains("the list shows the key data files of"); }));
}

TEST_F(MainWindowTest, ControlsShowTheirCaptionsAndTips) {
    const auto form = Start();
    // Its title says what it works on (the words are the model's).
    EXPECT_EQ(form->windowTitle().toStdString(), form->Model().Title());
    EXPECT_FALSE(form->windowIcon().pixmap(32, 32).isNull());
    EXPECT_TRUE(form->VarsButton().isHidden());
    EXPECT_EQ(form->ProcessButton().toolTip(), "Process currently loaded Lockplan data file.");
}

// A stored place whose top edge is negative.
constexpr std::string_view kStoredPlace =
    "[Positions]\r\nMainHeight=3000\r\nMainWidth=6000\r\nMainTop=-600\r\nMainLeft=1500\r\n";

TEST_F(MainWindowTest, TheFrameShownLaterDoesNotGrowTheWindow) {
    WriteSettings(kStoredPlace);
    const auto form = Start();
    Show(*form);
    ASSERT_NE(form->frameGeometry().size(), form->size());  // the platform drew a frame
    EXPECT_EQ(form->frameGeometry().size(), QSize(400, 200));
    EXPECT_EQ(Setting(*form, "MainHeight"), "3000");
    EXPECT_EQ(Setting(*form, "MainWidth"), "6000");
}

// Sizes before the start-up ends are not stored: MainWindowModelTest.
TEST_F(MainWindowTest, WithoutSettingsTheFirstShowingStoresTheSmallestSize) {
    const auto form = Start();
    EXPECT_EQ(form->frameGeometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(form->size(), form->minimumSize());
    Show(*form);
    EXPECT_EQ(Setting(*form, "MainHeight"), std::to_string(form->frameGeometry().height() * 15));
    EXPECT_EQ(Setting(*form, "MainWidth"), std::to_string(form->frameGeometry().width() * 15));
    EXPECT_EQ(Setting(*form, "MainTop"), "");
}

// One size proves the window lays the grid out by the model's rule; the
// model's test holds the edge cases (too little room left keeps a side).
TEST_F(MainWindowTest, TheGridFollowsTheWindow) {
    WriteSettings("[Positions]\r\nMainHeight=4500\r\nMainWidth=7500\r\n");
    const auto form = Start();
    Show(*form);
    SetOuterHeight(*form, 7500);
    SetOuterWidth(*form, 9000);
    EXPECT_TRUE(WaitFor([&] {
        return Setting(*form, "MainHeight") == "7500" && Setting(*form, "MainWidth") == "9000";
    }));
    // 9000 - 2720 = 6280, 7500 - 740 = 6760 twips
    EXPECT_EQ(form->GridView().size(), QSize(419, 451));
    EXPECT_EQ(form->GridView().pos(), QPoint(168, 16));  // only the grid moves
    EXPECT_EQ(form->ExitButton().geometry(), QRect(24, 272, 121, 25));
}

// A stored place is read as its absolute value:
// MainWindowModelTest.TheStartUpRunsInItsOrderAndOnlyReads.
TEST_F(MainWindowTest, ExitOnlyEndsTheCloseBoxStoresThePlaceAndEnds) {
    const auto form = Start();
    Show(*form);
    form->move(-4, -8);  // as a maximized window reports itself
    ASSERT_TRUE(WaitFor([&] { return form->frameGeometry().topLeft() == QPoint(-4, -8); }));
    const std::string before = ReadSettings();
    QTest::mouseClick(&form->ExitButton(), Qt::LeftButton);
    EXPECT_EQ(endCount, 1);
    EXPECT_EQ(ReadSettings(), before);
    form->close();
    EXPECT_EQ(endCount, 2);
    EXPECT_EQ(Setting(*form, "MainTop"), "-120");
    EXPECT_EQ(Setting(*form, "MainLeft"), "-60");
}

TEST_F(MainWindowTest, TypedCellsReachTheSheetAPickedFileReplacesItAnUnreadableOneDoesNot) {
    const QString keys = ExampleKeysFolder();
    testing::WriteBytes(folder.Path() / "keys" / "Vanishing.dat", "V\r\n!\r\n");
    WriteSettings("[Paths]\r\nSource=" + keys.toStdString() + "\r\n");
    const auto form = Start();
    Show(*form);
    const Sheet& sheet = form->Model().KeyCells();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->GridView().setFocus();
    form->GridView().setCurrentIndex(form->GridModel().index(6, 1));
    // Typing on a cell opens its editor; Enter commits its text (queued).
    for (const char c : std::string("A=2.5"))
        QTest::keyClick(QApplication::focusWidget(), c);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(WaitFor([&] { return sheet.CellText(2, 7) == "A=2.5"; }));
    DataFileList& list = form->FileList();
    ASSERT_EQ(list.count(), 2);
    ASSERT_EQ(list.item(0)->text(), "Harbor.dat");
    testing::ClickItem(list, list.model()->index(0, 0));
    EXPECT_EQ(sheet.ColumnCount(), 12);  // the example holds twelve keys
    EXPECT_EQ(sheet.CellText(1, 1), "GM 1");
    EXPECT_FALSE(QToolTip::isVisible());
    fs::remove(folder.Path() / "keys" / "Vanishing.dat");  // gone before the pick
    list.setCurrentRow(1);
    EXPECT_EQ(sheet.ColumnCount(), 12);
    EXPECT_TRUE(messages.isEmpty());
    // What a damaged file shows is the model's (MainWindowModelTest); the
    // window names it above Process while it is loaded.
    EXPECT_FALSE(form->KeyFileWarning().isVisible());
    testing::WriteBytes(folder.Path() / "keys" / "Harbor.dat", "K1\r\n!\r\nK2\r\n");
    testing::ClickItem(list, list.model()->index(0, 0));
    EXPECT_TRUE(form->KeyFileWarning().isVisible());
    EXPECT_EQ(form->KeyFileWarning().text(), "Cut at key 2");
    EXPECT_TRUE(form->KeyFileWarning().toolTip().startsWith("Harbor.dat: the file ends inside"));
    EXPECT_TRUE(form->KeyFileWarning().geometry().bottom() <
                form->ProcessButton().geometry().top());
}

TEST_F(MainWindowTest, PreferencesOpensAtItsStoredPlaceAndOkPointsTheFileListAtTheSource) {
    const QString keys = ExampleKeysFolder("other keys");
    WriteSettings("[Positions]\r\nPrefTop=1500\r\nPrefLeft=-3000\r\n");
    const auto form = Start();
    Show(*form);
    WhenModalShown("Pref", [&](QWidget& dialog) {
        EXPECT_TRUE(WaitFor([&] { return OuterTop(dialog) == 1500; }));  // once framed
        EXPECT_EQ(OuterLeft(dialog), 3000);  // a negative stored edge counts as positive
        PreferencesDialog& pref = *form->PreferencesEditor();
        testing::TypeInto(pref.SourceFolderField(), keys);
        QTest::mouseClick(&pref.OkButton(), Qt::LeftButton);
    });
    QTest::mouseClick(&form->PreferencesButton(), Qt::LeftButton);
    EXPECT_EQ(form->FileList().Folder(), keys);
    EXPECT_EQ(form->FileList().count(), 1);
    // The folder is watched: a file that appears shows up.
    testing::WriteBytes((keys + "/New.dat").toStdString(), "");
    EXPECT_TRUE(WaitFor([&] { return form->FileList().count() == 2; }));
}

// Vars shows the editor the model keeps (its life across the openings:
// MainWindowModelTest): modally, at the place and size the settings keep;
// after its frame closed it, the next Vars shows a new one.
TEST_F(MainWindowTest, VarsShowsTheEditorAtItsStoredPlaceAndAfterTheCloseBoxANewOne) {
    WriteSettings(
        "[Positions]\r\nVarSubTop=1500\r\nVarSubLeft=-300\r\nVarSubHeight=4500\r\n"
        "VarSubWidth=6000\r\n");
    const auto form = Start();
    Show(*form);
    const auto grid = [](QWidget& dialog) { return dialog.findChild<QTableWidget*>("VSub"); };
    WhenModalShown("VarSub", [&](QWidget& dialog) {
        EXPECT_TRUE(WaitFor([&] { return OuterTop(dialog) == 1500; }));  // once framed
        EXPECT_EQ(OuterLeft(dialog), 300);  // a negative stored edge counts as positive
        EXPECT_EQ(OuterHeight(dialog), 4500);
        EXPECT_EQ(OuterWidth(dialog), 6000);
        EXPECT_EQ(dialog.parentWidget(), form.get());
        grid(dialog)->setItem(0, 0, new QTableWidgetItem(QStringLiteral("typed")));
        dialog.close();
    });
    form->VarsButton().click();
    WhenModalShown("VarSub", [&](QWidget& dialog) {
        EXPECT_EQ(grid(dialog)->item(0, 0), nullptr);
        testing::ButtonNamed(dialog, "BtnCan").click();
    });
    form->VarsButton().click();
}

TEST_F(MainWindowTest, AnInstalledProgramKeepsSettingsAndTableInTheUserFolderAndItsModeByItsOwn) {
    const testing::ScopedEnvironment xdg("XDG_CONFIG_HOME", folder.File("config"));
    // A folder the user cannot write (one that is not there: the tests may run as root).
    const fs::path installed = folder.Path() / "opt" / "harbor62" / "bin";
    const auto form = Start(installed);
    const fs::path user = folder.Path() / "config" / "bladeway-tree";
    EXPECT_EQ(form->AppFolder(), installed.string() + "/");
    EXPECT_EQ(form->Settings().Path(), (user / "Bladeway.INI").string());
    EXPECT_FALSE(form->FlatTemplateMode());
    Show(*form);
    // OK in the modal editor stores the table.
    WhenModalShown("VarSub", [](QWidget& table) { testing::ButtonNamed(table, "BtnOK").click(); });
    form->VarsButton().click();
    EXPECT_TRUE(fs::exists(user / "VarTab.Dat"));
    EXPECT_TRUE(fs::exists(user / "Bladeway.INI"));  // the first showing stored the size
    EXPECT_FALSE(fs::exists(installed));
}

}  // namespace
}  // namespace bladeway
