// The main window's start-up and its controls.
#include <algorithm>
#include <filesystem>

#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "app/data_file_list.h"
#include "app/form1_fixture.h"
#include "app/key_grid_model.h"
#include "dialogs/pref.h"

namespace bladeway {
namespace {

using testing::Form1Test;

// The next of the window's own controls in the focus chain, passing over the
// parts of a control (scroll bars, headings).
QWidget* NextControl(QWidget& control) {
    QWidget* next = control.nextInFocusChain();
    while (next != nullptr && next->parentWidget() != control.parentWidget()) {
        next = next->nextInFocusChain();
    }
    return next;
}

TEST_F(Form1Test, TheAboutBoxComesBeforeEverythingElse) {
    WriteSettings("[Paths]\r\nSource=keys\r\n");
    const auto form = Start();
    ASSERT_TRUE(about.shown);
    EXPECT_EQ(about.eventsBefore, 0U);  // no file touched before it
    EXPECT_FALSE(about.windowVisible);
    EXPECT_FALSE(about.loadComplete);
    EXPECT_EQ(about.appFolder, "");
    EXPECT_FALSE(about.preferencesExist);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), "about");
    EXPECT_TRUE(form->LoadComplete());
    EXPECT_FALSE(form->isVisible());  // the caller shows it
}

TEST_F(Form1Test, StartUpFindsTheSettingsBesideTheProgramAndWritesNothing) {
    WriteSettings("[Positions]\r\nMainHeight=3000\r\nMainWidth=6000\r\n");
    const std::string before = ReadSettings();
    const auto form = Start();
    EXPECT_EQ(form->AppFolder(), folder.WithSeparator());
    EXPECT_EQ(form->Settings().Path(), SettingsPath());
    EXPECT_TRUE(form->FlatTemplateMode());
    // Four window values and six preference values, each one read of the file.
    const auto reads = std::count(events.begin(), events.end(), "read " + SettingsPath());
    EXPECT_EQ(reads, 10);
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [](const std::string& e) { return e.rfind("write", 0) == 0; }),
              0);
    EXPECT_EQ(ReadSettings(), before);
}

TEST_F(Form1Test, AProgramFolderWithTheMarkerSelectsTreeMode) {
    const QString shop = Subfolder("tools/MyHarbor62Shop/bin");
    const auto form = Start(shop.toStdString());
    EXPECT_FALSE(form->FlatTemplateMode());
    EXPECT_EQ(form->Settings().Path(), (shop + "/Bladeway.INI").toStdString());
}

TEST_F(Form1Test, RestoresTheOuterPlaceAndSizeAsStored) {
    WriteSettings(
        "[Positions]\r\nMainHeight=3000\r\nMainWidth=6000\r\nMainTop=-600\r\nMainLeft=1500\r\n");
    const auto form = Start();
    // A negative stored edge is used as its absolute value.
    EXPECT_EQ(form->frameGeometry(), QRect(100, 40, 400, 200));
}

TEST_F(Form1Test, TheFrameShownLaterDoesNotGrowTheWindow) {
    WriteSettings("[Positions]\r\nMainHeight=3000\r\nMainWidth=6000\r\n");
    const auto form = Start();
    Show(*form);
    ASSERT_TRUE(form->frameGeometry().size() != form->size());  // the platform drew a frame
    EXPECT_EQ(form->frameGeometry().size(), QSize(400, 200));
    EXPECT_NE(ReadSettings().find("MainHeight=3000\r\n"), std::string::npos);
    EXPECT_NE(ReadSettings().find("MainWidth=6000\r\n"), std::string::npos);
}

TEST_F(Form1Test, WithoutSettingsTheFirstShowingStoresTheSize) {
    const auto form = Start();
    EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
    EXPECT_EQ(form->frameGeometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(form->size(), form->minimumSize());  // the smallest window there is
    Show(*form);
    ASSERT_TRUE(std::filesystem::exists(SettingsPath()));
    const SettingsFile& settings = form->Settings();
    EXPECT_EQ(settings.ReadSetting("Positions", "MainHeight"),
              std::to_string(form->frameGeometry().height() * 15));
    EXPECT_EQ(settings.ReadSetting("Positions", "MainWidth"),
              std::to_string(form->frameGeometry().width() * 15));
    EXPECT_EQ(settings.ReadSetting("Positions", "MainTop"), "");
}

TEST_F(Form1Test, PreferenceValuesComeFromTheSettingsAndTheListShowsTheSource) {
    const QString keys = ExampleKeysFolder();
    WriteSettings("[Paths]\r\nSource=" + keys.toStdString() +
                  "\r\nTemplate=masters\r\nDestination=out\r\n"
                  "[Preferences]\r\nTranslateXL= 1\r\nTranslateVisible=no\r\n");
    const auto form = Start();
    const PreferenceValues& values = form->Preferences();
    EXPECT_EQ(values.SrcPath, keys.toStdString());
    EXPECT_EQ(values.TmpPath, "masters");
    EXPECT_EQ(values.DestPath, "out");
    EXPECT_EQ(values.TransXL(), 1);
    EXPECT_EQ(values.TransXH(), 0);
    EXPECT_EQ(values.MirChar(), "!");
    EXPECT_FALSE(values.TranslateOptionsVisible());
    ASSERT_NE(form->PreferencesDialog(), nullptr);
    EXPECT_FALSE(form->PreferencesDialog()->isVisible());
    EXPECT_EQ(form->PreferencesDialog()->TmpPath().text(), "masters");
    EXPECT_EQ(form->File1().Folder(), keys);
    EXPECT_EQ(form->File1().count(), 1);
}

TEST_F(Form1Test, AMissingOrEmptySourceLeavesTheListOnTheCurrentFolder) {
    const QString current = QDir::cleanPath(QDir::currentPath());
    WriteSettings("[Paths]\r\nSource=" + folder.File("nowhere") + "\r\n");
    EXPECT_EQ(Start()->File1().Folder(), current);
    WriteSettings("[Paths]\r\nSource=\r\n");
    EXPECT_EQ(Start()->File1().Folder(), current);
}

TEST_F(Form1Test, ControlsSitAtTheirDesignPlacesInTabOrder) {
    const auto form = Start();
    EXPECT_EQ(form->windowTitle(), "Bladeway");
    EXPECT_FALSE(form->windowIcon().isNull());
    EXPECT_FALSE(form->windowIcon().pixmap(32, 32).isNull());
    EXPECT_EQ(form->File1().geometry(), QRect(24, 16, 121, 175));
    EXPECT_EQ(form->Proc().geometry(), QRect(24, 208, 121, 25));
    EXPECT_EQ(form->KeyData().pos(), QPoint(168, 16));
    EXPECT_EQ(form->Prf().geometry(), QRect(24, 240, 121, 25));
    EXPECT_EQ(form->Ext().geometry(), QRect(24, 272, 121, 25));
    EXPECT_EQ(form->BtnVars().geometry(), QRect(16, 328, 49, 25));
    EXPECT_TRUE(form->BtnVars().isHidden());
    EXPECT_EQ(form->Proc().text(), "Process");
    EXPECT_EQ(form->Prf().text(), "Preferences");
    EXPECT_EQ(form->Ext().text(), "Exit");
    EXPECT_EQ(form->BtnVars().text(), "Vars");
    EXPECT_EQ(form->File1().toolTip(), "Lockplan Data file selection box.");
    EXPECT_EQ(form->Proc().toolTip(), "Process currently loaded Lockplan data file.");
    EXPECT_EQ(form->Prf().toolTip(), "");
    for (QPushButton* button : {&form->Proc(), &form->Prf(), &form->Ext(), &form->BtnVars()}) {
        EXPECT_FALSE(button->isDefault());
        EXPECT_FALSE(button->autoDefault());
    }
    EXPECT_EQ(NextControl(form->File1()), &form->Proc());
    EXPECT_EQ(NextControl(form->Proc()), &form->KeyData());
    EXPECT_EQ(NextControl(form->KeyData()), &form->Prf());
    EXPECT_EQ(NextControl(form->Prf()), &form->Ext());
    EXPECT_EQ(NextControl(form->Ext()), &form->BtnVars());
}

TEST_F(Form1Test, TheGridStartsWithFiveHundredEmptyKeys) {
    const auto form = Start();
    EXPECT_EQ(form->KeyData().model(), &form->KeyGrid());
    EXPECT_EQ(form->KeyGrid().columnCount(), 500);
    EXPECT_EQ(form->KeyGrid().rowCount(), 500);
    EXPECT_EQ(form->KeyData().selectionMode(), QAbstractItemView::ExtendedSelection);
}

}  // namespace
}  // namespace bladeway
