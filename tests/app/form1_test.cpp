// The main window: its start-up and controls, its place and size, leaving,
// the file list and the grid, the Preferences and Vars buttons.
#include <algorithm>
#include <filesystem>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include "app/data_file_list.h"
#include "app/key_grid_model.h"
#include "dialogs/pref.h"
#include "dialogs/window_placement.h"
#include "support/qt_form1_fixture.h"
#include "support/qt_helpers.h"

namespace bladeway {
namespace {

using testing::Form1Test;

TEST_F(Form1Test, TheAboutBoxComesFirstThenTheSettingsBesideTheProgramAreReadNotWritten) {
    const QString keys = ExampleKeysFolder();
    WriteSettings("[Paths]\r\nSource=" + keys.toStdString() +
                  "\r\nTemplate=masters\r\nDestination=out\r\n"
                  "[Preferences]\r\nTranslateXL= 1\r\nTranslateVisible=no\r\n");
    const std::string before = ReadSettings();
    const auto form = Start();
    EXPECT_EQ(aboutAfter, 0U);  // no file touched before it
    EXPECT_FALSE(aboutSawWindow);
    EXPECT_TRUE(form->LoadComplete());
    EXPECT_FALSE(form->isVisible());  // the caller shows it
    EXPECT_EQ(form->AppFolder(), folder.WithSeparator());
    EXPECT_EQ(form->Settings().Path(), SettingsPath());
    EXPECT_TRUE(form->FlatTemplateMode());
    // Four window values and six preference values, each one read of the file.
    EXPECT_EQ(std::count(events.begin(), events.end(), "read " + SettingsPath()), 10);
    EXPECT_EQ(ReadSettings(), before);
    EXPECT_TRUE(std::none_of(events.begin(), events.end(),
                             [](const std::string& e) { return e.starts_with("write"); }));
    const PreferenceValues& values = form->Preferences();
    EXPECT_EQ(values.SrcPath, keys.toStdString());
    EXPECT_EQ(values.TmpPath, "masters");
    EXPECT_EQ(values.DestPath, "out");
    EXPECT_EQ(values.TransXL() * 10 + values.TransXH(), 10);
    EXPECT_EQ(values.MirChar(), "!");
    EXPECT_FALSE(values.TranslateOptionsVisible());
    ASSERT_NE(form->PreferencesDialog(), nullptr);
    EXPECT_EQ(form->PreferencesDialog()->TmpPath().text(), "masters");
    EXPECT_EQ(form->File1().Folder(), keys);  // the list shows the source
    EXPECT_EQ(form->File1().count(), 1);
}

TEST_F(Form1Test, TemplateModeSourceFolderAndGridDefaults) {
    const QString shop = Subfolder("tools/MyHarbor62Shop/bin");  // the marker: tree mode
    EXPECT_FALSE(Start(shop.toStdString())->FlatTemplateMode());
    const QString current = QDir::cleanPath(QDir::currentPath());
    for (const std::string& source : {folder.File("nowhere"), std::string()}) {
        WriteSettings("[Paths]\r\nSource=" + source + "\r\n");
        EXPECT_EQ(Start()->File1().Folder(), current) << source;
    }
    const auto form = Start();
    EXPECT_EQ(form->KeyData().model(), &form->KeyGrid());
    EXPECT_EQ(form->KeyGrid().columnCount(), 500);
    EXPECT_EQ(form->KeyGrid().rowCount(), 500);
    EXPECT_EQ(form->KeyData().selectionMode(), QAbstractItemView::ExtendedSelection);
}

TEST_F(Form1Test, ControlsShowTheirCaptionsAndTips) {
    const auto form = Start();
    EXPECT_EQ(form->windowTitle(), "Bladeway");
    EXPECT_FALSE(form->windowIcon().pixmap(32, 32).isNull());
    EXPECT_EQ(form->Proc().text(), "Process");
    EXPECT_EQ(form->Prf().text(), "Preferences");
    EXPECT_EQ(form->Ext().text(), "Exit");
    EXPECT_EQ(form->BtnVars().text(), "Vars");
    EXPECT_TRUE(form->BtnVars().isHidden());
    EXPECT_EQ(form->File1().toolTip(), "Lockplan Data file selection box.");
    EXPECT_EQ(form->Proc().toolTip(), "Process currently loaded Lockplan data file.");
    EXPECT_EQ(form->File1().geometry(), QRect(24, 16, 121, 175));
    EXPECT_EQ(form->KeyData().pos(), QPoint(168, 16));
}

// The main window at work.

using testing::WaitFor;
using testing::WhenModalShown;

std::string Setting(Form1& form, const char* key) {
    return form.Settings().ReadSetting("Positions", key);
}

TEST_F(Form1Test, TheStoredPlaceIsRestoredAndTheFrameShownLaterDoesNotGrowTheWindow) {
    WriteSettings(
        "[Positions]\r\nMainHeight=3000\r\nMainWidth=6000\r\nMainTop=-600\r\n"
        "MainLeft=1500\r\n");
    const auto form = Start();
    EXPECT_EQ(form->frameGeometry(), QRect(100, 40, 400, 200));  // a negative edge counts positive
    Show(*form);
    ASSERT_NE(form->frameGeometry().size(), form->size());  // the platform drew a frame
    EXPECT_EQ(form->frameGeometry().size(), QSize(400, 200));
    EXPECT_EQ(Setting(*form, "MainHeight") + Setting(*form, "MainWidth"), "30006000");
}

TEST_F(Form1Test, WithoutSettingsTheFirstShowingStoresTheSmallestSize) {
    Form1 early(Environment());  // resized before the start-up ends: nothing stored
    early.show();
    early.resize(350, 320);
    QTest::qWait(20);
    EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
    early.hide();
    const auto form = Start();
    EXPECT_EQ(form->frameGeometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(form->size(), form->minimumSize());
    Show(*form);
    EXPECT_EQ(Setting(*form, "MainHeight"), std::to_string(form->frameGeometry().height() * 15));
    EXPECT_EQ(Setting(*form, "MainWidth"), std::to_string(form->frameGeometry().width() * 15));
    EXPECT_EQ(Setting(*form, "MainTop"), "");
}

TEST_F(Form1Test, TheGridFollowsTheWindowWhileTooLittleWouldNotBeLeft) {
    WriteSettings("[Positions]\r\nMainHeight=4500\r\nMainWidth=7500\r\n");
    const auto form = Start();
    Show(*form);
    // Outer height and width in twips; the grid's size in pixels after it.
    for (const auto& [height, width, grid] : std::vector<std::tuple<int, int, QSize>>{
             {7500, 9000, {419, 451}},  // 9000 - 2720 = 6280, 7500 - 740 = 6760 twips
             {855, 2835, {8, 8}},       // 115 twips left each way
             {840, 2820, {8, 8}},       // exactly 100 twips: kept
             {600, 9000, {419, 8}}}) {  // height kept, width follows
        SetOuterHeight(*form, height);
        SetOuterWidth(*form, width);
        EXPECT_TRUE(WaitFor([&] {
            return Setting(*form, "MainHeight") == std::to_string(height) &&
                   Setting(*form, "MainWidth") == std::to_string(width);
        }));
        EXPECT_EQ(form->KeyData().size(), grid) << height << " x " << width;
    }
    EXPECT_EQ(form->KeyData().pos(), QPoint(168, 16));  // only the grid moves
    EXPECT_EQ(form->Ext().geometry(), QRect(24, 272, 121, 25));
}

TEST_F(Form1Test, TheCloseBoxStoresThePlaceAndEndsExitOnlyEnds) {
    const auto form = Start();
    Show(*form);
    form->move(30, 45);
    ASSERT_TRUE(WaitFor([&] { return form->frameGeometry().topLeft() == QPoint(30, 45); }));
    const std::string before = ReadSettings();
    QTest::mouseClick(&form->Ext(), Qt::LeftButton);
    EXPECT_EQ(endCount, 1);
    EXPECT_EQ(ReadSettings(), before);
    form->move(-4, -8);  // as a maximized window reports itself
    ASSERT_TRUE(WaitFor([&] { return form->frameGeometry().topLeft() == QPoint(-4, -8); }));
    form->close();
    EXPECT_EQ(endCount, 2);
    EXPECT_EQ(Setting(*form, "MainTop") + Setting(*form, "MainLeft"), "-120-60");
    EXPECT_EQ(Start()->frameGeometry().topLeft(), QPoint(4, 8));  // the absolute values
}

TEST_F(Form1Test, TypedCellsReachTheSheetAPickedFileReplacesItAnUnreadableOneDoesNot) {
    const QString keys = ExampleKeysFolder();
    testing::WriteBytes(folder.Path() / "keys" / "Small.DAT", "[KEY]\r\nS 1\r\nsmall\r\n!\r\n");
    testing::WriteBytes(folder.Path() / "keys" / "Vanishing.dat", "V\r\n!\r\n");
    WriteSettings("[Paths]\r\nSource=" + keys.toStdString() + "\r\n");
    const auto form = Start();
    Show(*form);
    const Sheet& sheet = form->KeyGrid().GetSheet();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->KeyData().setFocus();
    form->KeyData().setCurrentIndex(form->KeyGrid().index(6, 1));
    // Typing on a cell opens its editor; Enter commits its text (queued).
    for (const char c : std::string("A=2.5"))
        QTest::keyClick(QApplication::focusWidget(), c);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(WaitFor([&] { return sheet.CellText(2, 7) == "A=2.5"; }));
    DataFileList& list = form->File1();
    ASSERT_EQ(list.count(), 3);
    ASSERT_EQ(list.item(0)->text(), "Harbor.dat");
    testing::ClickItem(list, list.model()->index(0, 0));
    EXPECT_EQ(sheet.ColumnCount(), 12);  // the example holds twelve keys
    EXPECT_EQ(sheet.CellText(1, 1), "GM 1");
    EXPECT_EQ(sheet.CellText(2, 1), "M 1.1");
    EXPECT_EQ(form->KeyGrid().data(form->KeyGrid().index(3, 0)).toString(), "P1001");
    std::filesystem::remove(folder.Path() / "keys" / "Vanishing.dat");  // gone before the pick
    list.setCurrentRow(2);
    EXPECT_EQ(sheet.ColumnCount(), 12);
    EXPECT_TRUE(messages.isEmpty());
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(sheet.CellText(1, 2), "small");

    EXPECT_EQ(endCount, 0);
}

TEST_F(Form1Test, PreferencesOpensAtItsStoredPlaceAndOkPointsTheFileListAtTheSource) {
    const QString keys = ExampleKeysFolder("other keys");
    WriteSettings("[Positions]\r\nPrefTop=1500\r\nPrefLeft=-3000\r\n");
    const auto form = Start();
    Show(*form);
    const auto runPref = [&](const QString& source) {
        WhenModalShown("Pref", [&](QWidget& dialog) {
            EXPECT_TRUE(WaitFor([&] { return OuterTop(dialog) == 1500; }));  // once framed
            EXPECT_EQ(OuterLeft(dialog), 3000);  // a negative stored edge counts as positive
            Pref& pref = *form->PreferencesDialog();
            testing::TypeInto(pref.SrcPath(), source);
            QTest::mouseClick(&pref.BtnOK(), Qt::LeftButton);
        });
        QTest::mouseClick(&form->Prf(), Qt::LeftButton);
    };
    runPref(keys);
    EXPECT_EQ(form->File1().Folder(), keys);
    EXPECT_EQ(form->File1().count(), 1);
    EXPECT_EQ(form->Preferences().SrcPath, keys.toStdString());
    runPref("no such folder");  // stored, but the list stays
    EXPECT_EQ(form->File1().Folder(), keys);
    EXPECT_EQ(form->Settings().ReadSetting("Paths", "Source"), "no such folder");
}

TEST_F(Form1Test, TheHiddenVarsButtonOpensTheEditorAtItsStoredPlace) {
    const auto form = Start();
    Show(*form);
    events.clear();
    bool editorShown = false;
    QTimer closer;  // the editor is modal: close it from the event loop it runs
    QObject::connect(&closer, &QTimer::timeout, [&editorShown] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == "VarSub" && window->isVisible()) {
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
