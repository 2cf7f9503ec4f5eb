// The main window: start-up, controls, place and size, leaving, the file list
// and the grid, the Preferences, Vars and Process buttons.
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include "app/data_file_list.h"
#include "app/key_grid_model.h"
#include "app/run_report_window.h"
#include "cli/cli.h"
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

TEST_F(MainWindowTest, TheAboutBoxComesFirstThenTheSettingsBesideTheProgramAreReadNotWritten) {
    const QString keys = ExampleKeysFolder();
    WriteSettings("[Paths]\r\nSource=" + keys.toStdString() +
                  "\r\nTemplate=masters\r\nDestination=out\r\n[Preferences]\r\nTranslateXL= 1\r\n");
    const std::string before = ReadSettings();
    const auto form = Start();
    EXPECT_EQ(aboutAfter, 0U);  // no file touched before it
    EXPECT_FALSE(aboutSawWindow);
    EXPECT_TRUE(form->LoadComplete());
    EXPECT_FALSE(form->isVisible());  // the caller shows it
    EXPECT_EQ(form->AppFolder(), folder.WithSeparator());
    EXPECT_EQ(form->Settings().Path(), SettingsPath());
    EXPECT_TRUE(form->FlatTemplateMode());
    EXPECT_EQ(SettingsReads(), 10);  // four window values and six preferences, one read each
    EXPECT_EQ(ReadSettings(), before);
    for (const std::string& access : fileSystem.Log())
        EXPECT_FALSE(access.starts_with("write")) << access;
    const PreferenceValues& values = form->Preferences();
    EXPECT_EQ(values.sourceFolder, keys.toStdString());
    EXPECT_EQ(values.templateFolder, "masters");
    EXPECT_EQ(values.destinationFolder, "out");
    EXPECT_EQ(values.XLToLHOption(), 1);
    EXPECT_EQ(values.XToHOption(), 0);
    ASSERT_NE(form->PreferencesEditor(), nullptr);
    EXPECT_EQ(form->PreferencesEditor()->TemplateFolderField().text(), "masters");
    EXPECT_EQ(form->FileList().Folder(), keys);  // the list shows the source
    EXPECT_EQ(form->FileList().count(), 1);
    EXPECT_EQ(form->GridView().model(), &form->GridModel());
    // Tree mode comes from the program's folder; a missing source lists the current folder.
    EXPECT_FALSE(Start(Subfolder("tools/MyHarbor62Shop/bin").toStdString())->FlatTemplateMode());
    for (const std::string& source : {folder.File("nowhere"), std::string()}) {
        WriteSettings("[Paths]\r\nSource=" + source + "\r\n");
        EXPECT_EQ(Start()->FileList().Folder(), QDir::cleanPath(QDir::currentPath())) << source;
    }
}

TEST_F(MainWindowTest, ControlsShowTheirCaptionsAndTips) {
    const auto form = Start();
    EXPECT_EQ(form->windowTitle(), "Bladeway");
    EXPECT_FALSE(form->windowIcon().pixmap(32, 32).isNull());
    EXPECT_EQ(form->ProcessButton().text() + form->PreferencesButton().text() +
                  form->ExitButton().text() + form->VarsButton().text(),
              "ProcessPreferencesExitVars");
    EXPECT_TRUE(form->VarsButton().isHidden());
    EXPECT_EQ(form->FileList().toolTip(), "Lockplan Data file selection box.");
    EXPECT_EQ(form->ProcessButton().toolTip(), "Process currently loaded Lockplan data file.");
    EXPECT_EQ(form->FileList().geometry(), QRect(24, 16, 121, 175));
    EXPECT_EQ(form->GridView().pos(), QPoint(168, 16));
}

// A stored place whose top edge is negative.
constexpr std::string_view kStoredPlace =
    "[Positions]\r\nMainHeight=3000\r\nMainWidth=6000\r\nMainTop=-600\r\nMainLeft=1500\r\n";

TEST_F(MainWindowTest, TheStoredPlaceIsRestored) {
    WriteSettings(kStoredPlace);
    EXPECT_EQ(Start()->frameGeometry(),
              QRect(100, 40, 400, 200));  // a negative edge counts positive
}

TEST_F(MainWindowTest, TheFrameShownLaterDoesNotGrowTheWindow) {
    WriteSettings(kStoredPlace);
    const auto form = Start();
    Show(*form);
    ASSERT_NE(form->frameGeometry().size(), form->size());  // the platform drew a frame
    EXPECT_EQ(form->frameGeometry().size(), QSize(400, 200));
    EXPECT_EQ(Setting(*form, "MainHeight"), "3000");
    EXPECT_EQ(Setting(*form, "MainWidth"), "6000");
}

TEST_F(MainWindowTest, WithoutSettingsTheFirstShowingStoresTheSmallestSize) {
    MainWindow early(Environment());  // resized before the start-up ends: nothing stored
    early.show();
    early.resize(350, 320);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&early));
    QCoreApplication::processEvents();  // the resize's events, before the check
    EXPECT_FALSE(fs::exists(SettingsPath()));
    early.hide();
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

// Moves a shown window and waits until the platform reports it there.
bool MoveTo(MainWindow& form, QPoint place) {
    form.move(place);
    return WaitFor([&] { return form.frameGeometry().topLeft() == place; });
}

TEST_F(MainWindowTest, ExitOnlyEnds) {
    const auto form = Start();
    Show(*form);
    ASSERT_TRUE(MoveTo(*form, {30, 45}));
    const std::string before = ReadSettings();
    QTest::mouseClick(&form->ExitButton(), Qt::LeftButton);
    EXPECT_EQ(endCount, 1);
    EXPECT_EQ(ReadSettings(), before);
}

TEST_F(MainWindowTest, TheCloseBoxStoresThePlaceAndEnds) {
    const auto form = Start();
    Show(*form);
    ASSERT_TRUE(MoveTo(*form, {-4, -8}));  // as a maximized window reports itself
    form->close();
    EXPECT_EQ(endCount, 1);
    EXPECT_EQ(Setting(*form, "MainTop"), "-120");
    EXPECT_EQ(Setting(*form, "MainLeft"), "-60");
    EXPECT_EQ(Start()->frameGeometry().topLeft(), QPoint(4, 8));  // the absolute values
}

TEST_F(MainWindowTest, TypedCellsReachTheSheetAPickedFileReplacesItAnUnreadableOneDoesNot) {
    const QString keys = ExampleKeysFolder();
    testing::WriteBytes(folder.Path() / "keys" / "Small.DAT", "[KEY]\r\nS 1\r\nsmall\r\n!\r\n");
    testing::WriteBytes(folder.Path() / "keys" / "Vanishing.dat", "V\r\n!\r\n");
    WriteSettings("[Paths]\r\nSource=" + keys.toStdString() + "\r\n");
    const auto form = Start();
    Show(*form);
    const Sheet& sheet = form->GridModel().GetSheet();
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
    ASSERT_EQ(list.count(), 3);
    ASSERT_EQ(list.item(0)->text(), "Harbor.dat");
    testing::ClickItem(list, list.model()->index(0, 0));
    EXPECT_EQ(sheet.ColumnCount(), 12);  // the example holds twelve keys
    EXPECT_EQ(sheet.CellText(1, 1), "GM 1");
    EXPECT_EQ(sheet.CellText(2, 1), "M 1.1");
    EXPECT_EQ(form->GridModel().data(form->GridModel().index(3, 0)).toString(), "P1001");
    fs::remove(folder.Path() / "keys" / "Vanishing.dat");  // gone before the pick
    list.setCurrentRow(2);
    EXPECT_EQ(sheet.ColumnCount(), 12);
    EXPECT_TRUE(messages.isEmpty());
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(sheet.CellText(1, 2), "small");
    EXPECT_EQ(endCount, 0);
}

TEST_F(MainWindowTest, PreferencesOpensAtItsStoredPlaceAndOkPointsTheFileListAtTheSource) {
    const QString keys = ExampleKeysFolder("other keys");
    WriteSettings("[Positions]\r\nPrefTop=1500\r\nPrefLeft=-3000\r\n");
    const auto form = Start();
    Show(*form);
    const auto runPref = [&](const QString& source) {
        WhenModalShown("Pref", [&](QWidget& dialog) {
            EXPECT_TRUE(WaitFor([&] { return OuterTop(dialog) == 1500; }));  // once framed
            EXPECT_EQ(OuterLeft(dialog), 3000);  // a negative stored edge counts as positive
            PreferencesDialog& pref = *form->PreferencesEditor();
            testing::TypeInto(pref.SourceFolderField(), source);
            QTest::mouseClick(&pref.OkButton(), Qt::LeftButton);
        });
        QTest::mouseClick(&form->PreferencesButton(), Qt::LeftButton);
    };
    runPref(keys);
    EXPECT_EQ(form->FileList().Folder(), keys);
    EXPECT_EQ(form->FileList().count(), 1);
    EXPECT_EQ(form->Preferences().sourceFolder, keys.toStdString());
    runPref("no such folder");  // stored, but the list stays
    EXPECT_EQ(form->FileList().Folder(), keys);
    EXPECT_EQ(form->Settings().ReadSetting("Paths", "Source"), "no such folder");
}

TEST_F(MainWindowTest, TheHiddenVarsButtonOpensTheEditorAtItsStoredPlace) {
    const auto form = Start();
    Show(*form);
    const long readsBefore = SettingsReads();
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
    form->VarsButton().click();
    EXPECT_TRUE(editorShown);
    EXPECT_GE(SettingsReads() - readsBefore, 2);
    EXPECT_EQ(endCount, 0);
}

TEST_F(MainWindowTest, AnInstalledProgramKeepsSettingsAndTableInTheUserFolderAndItsModeByItsOwn) {
    const testing::ScopedEnvironment xdg("XDG_CONFIG_HOME", folder.File("config"));
    // A folder the user cannot write (one that is not there: the tests may run as root).
    const fs::path installed = folder.Path() / "opt" / "harbor62" / "bin";
    const auto form = Start(installed);
    const fs::path user = folder.Path() / "config" / "bladeway";
    EXPECT_EQ(form->AppFolder(), installed.string() + "/");
    EXPECT_EQ(form->Settings().Path(), (user / "Bladeway.INI").string());
    EXPECT_FALSE(form->FlatTemplateMode());
    Show(*form);
    QTimer confirm;  // OK in the modal editor stores the table
    QObject::connect(&confirm, &QTimer::timeout, [] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == "VarSub" && window->isVisible())
                window->findChild<QPushButton*>("BtnOK")->click();
        }
    });
    confirm.start(10);
    form->VarsButton().click();
    EXPECT_TRUE(fs::exists(user / "VarTab.Dat"));
    EXPECT_TRUE(fs::exists(user / "Bladeway.INI"));  // the first showing stored the size
    EXPECT_FALSE(fs::exists(installed));
}

// The Process button, end to end to the program files.

class ProcessRunTest : public MainWindowTest {
  protected:
    // A shown window on the example keys (picked), the example templates of
    // `mode` (or `templates`) and an empty destination.
    std::unique_ptr<MainWindow> StartOnExamples(const std::string& mode,
                                                const fs::path& programFolder,
                                                const std::string& extraSettings = "") {
        destination = programFolder / "out";
        fs::create_directories(destination / "SRG" / "P");
        if (templates.empty())
            templates = testing::SourceDir() / "examples" / "templates" / mode;
        settingsFile = (programFolder / "Bladeway.INI").string();
        testing::WriteBytes(settingsFile, "[Paths]\r\nSource=" + ExampleKeysFolder().toStdString() +
                                              "\r\nTemplate=" + templates.string() +
                                              "\r\nDestination=" + destination.string() + "\r\n" +
                                              extraSettings);
        auto form = Start(programFolder);
        Show(*form);
        testing::ClickItem(form->FileList(), form->FileList().model()->index(0, 0));
        return form;
    }
    // What the command-line tool writes for the same keys and settings.
    std::map<std::string, std::string> CliPrograms(const std::string& mode,
                                                   std::vector<std::string> extra = {}) {
        const fs::path out = folder.Path() / ("cli-" + mode);
        fs::create_directories(out / "SRG" / "P");
        std::vector<std::string> args = {"generate", "--settings", settingsFile, "--mode",  mode,
                                         "--dest",   out.string(), "--date",     "03/14/25"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back((folder.Path() / "keys" / "Harbor.dat").string());
        std::ostringstream output;
        EXPECT_EQ(RunCli(args, output, output), kExitOk) << output.str();
        return testing::FilesBelow(out);
    }

    fs::path destination;
    fs::path templates;
    std::string settingsFile;
};

TEST_F(ProcessRunTest, BothModesWriteWhatTheCommandLineToolWritesWithoutAWord) {
    for (const auto& [mode, shop, program] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"flat", "flat-shop", "P1001"}, {"tree", "Harbor62", "SRG/P/1001"}}) {
        templates.clear();
        const auto form = StartOnExamples(mode, Subfolder(shop).toStdString(),
                                          "[Preferences]\r\nTranslateXL= 1\r\n");
        ASSERT_EQ(form->FlatTemplateMode(), mode == "flat");
        ASSERT_EQ(form->GridModel().GetSheet().ColumnCount(), 12);
        Process(*form);
        const auto written = testing::FilesBelow(destination);
        EXPECT_EQ(written.count(program), 1U) << mode;
        EXPECT_EQ(written, CliPrograms(mode)) << mode;
        fs::remove_all(folder.Path() / "keys");
    }
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(ProcessRunTest, SelectedColumnHeadingsProcessOnlyThoseKeysABlockBelowRowOneNone) {
    const auto form = StartOnExamples("flat", folder.Path());
    testing::ClickHeading(*form->GridView().horizontalHeader(), 1);
    testing::ClickHeading(*form->GridView().horizontalHeader(), 3, Qt::ShiftModifier);
    Process(*form);  // keys B to D
    const auto written = testing::FilesBelow(destination);
    EXPECT_EQ(written.size(), 3U);
    EXPECT_EQ(written.count("P1002") + written.count("P1003") + written.count("P1101"), 3U);
    EXPECT_EQ(written, CliPrograms("flat", {"--keys", "2-4"}));
    for (const auto& [name, bytes] : written)
        fs::remove(destination / name);
    form->GridView().selectionModel()->select(
        QItemSelection(form->GridModel().index(4, 1), form->GridModel().index(7, 1)),
        QItemSelectionModel::ClearAndSelect);
    Process(*form);
    EXPECT_TRUE(testing::FilesBelow(destination).empty());
}

// What Process will take can be seen: a plain click is no selection and is
// not drawn as one; a block is.
TEST_F(ProcessRunTest, APlainClickShowsTheCurrentCellOnlyABlockLooksSelected) {
    const auto form = StartOnExamples("flat", folder.Path());
    QTableView& grid = form->GridView();
    const QColor highlight = grid.palette().color(QPalette::Active, QPalette::Highlight);
    // Whether the cell is painted in the highlight colour inside its right end,
    // away from its text and from the current cell's focus frame.
    const auto highlighted = [&grid, &highlight](int row, int column) {
        const QRect cell = grid.visualRect(grid.model()->index(row, column));
        const QColor painted =
            grid.viewport()->grab().toImage().pixelColor(cell.right() - 8, cell.center().y());
        return std::abs(painted.red() - highlight.red()) +
                   std::abs(painted.green() - highlight.green()) +
                   std::abs(painted.blue() - highlight.blue()) <
               12;
    };
    grid.setFocus();
    testing::ClickItem(grid, form->GridModel().index(0, 0));
    EXPECT_TRUE(grid.selectionModel()->isSelected(form->GridModel().index(0, 0)));
    EXPECT_FALSE(highlighted(0, 0)) << "a plain click looks like a selection";
    EXPECT_FALSE(grid.horizontalHeader()->highlightSections());
    testing::ClickItem(grid, form->GridModel().index(0, 1), Qt::ShiftModifier);
    EXPECT_TRUE(highlighted(0, 0));
    EXPECT_TRUE(highlighted(0, 1));
    EXPECT_TRUE(grid.horizontalHeader()->highlightSections());
    // Back to one cell: no block again, and the report says what was taken.
    testing::ClickItem(grid, form->GridModel().index(2, 1));
    EXPECT_FALSE(highlighted(2, 1));
    Process(*form);
    ASSERT_NE(form->ReportWindow(), nullptr);
    EXPECT_EQ(form->ReportWindow()->ProcessedKeys(), "all 12 keys: no block selected");
}

TEST_F(ProcessRunTest, TheRunReadsTheCellsAsEditedAndThePreferencesAsTheyStandBusyMeanwhile) {
    const auto form = StartOnExamples("flat", folder.Path());
    KeyGridModel& grid = form->GridModel();
    ASSERT_TRUE(grid.setData(grid.index(3, 0), "EDITED"));  // key 1's program name
    form->GridView().setCurrentIndex(grid.index(0, 0));     // one current cell: no block
    form->Preferences().SetMirrorCharacter("");
    bool busyWhileWriting = false;
    fileSystem.onReplace = [&] {
        const QCursor* pointer = QGuiApplication::overrideCursor();
        busyWhileWriting = pointer != nullptr && pointer->shape() == Qt::WaitCursor;
    };
    Process(*form);
    fileSystem.onReplace = nullptr;
    EXPECT_TRUE(busyWhileWriting);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    const auto written = testing::FilesBelow(destination);
    EXPECT_EQ(written.size(), 12U);
    ASSERT_EQ(written.count("EDITED"), 1U);
    EXPECT_EQ(written.count("P1001"), 0U);
    EXPECT_EQ(written.at("EDITED").find("(!"), std::string::npos);  // no mirror character
}

TEST_F(ProcessRunTest, TheIndexProblemIsShownForEveryKeyWithTheNormalPointer) {
    const fs::path shop = Subfolder("harbor62-shop").toStdString();
    templates = shop / "templates";  // an index that is not a whole number of records
    fs::copy(testing::SourceDir() / "examples" / "templates" / "tree", templates,
             fs::copy_options::recursive);
    testing::WriteBytes(templates / "INDICE.Prg", std::string(100, 'x'));
    const auto form = StartOnExamples("tree", shop);
    form->GridView().setCurrentIndex(form->GridModel().index(0, 0));
    Process(*form);
    EXPECT_EQ(messages, QStringList(12, "!!! PROBLEM DETECTED WITH INDICE.Prg FILE !!!"));
    EXPECT_EQ(busyPointerMessages, 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(testing::FilesBelow(destination / "SRG" / "P").size(), 12U);  // still written
}

TEST_F(ProcessRunTest, ProcessBeforeAnyLoadWalksTheEmptyGridWithoutHarm) {
    WriteSettings("[Paths]\r\nDestination=" + folder.File("out") + "\r\n");
    fs::create_directories(folder.Path() / "out");
    const auto form = Start();
    Show(*form);
    Process(*form);
    EXPECT_TRUE(testing::FilesBelow(folder.Path() / "out").empty());
    EXPECT_EQ(endCount, 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace bladeway
