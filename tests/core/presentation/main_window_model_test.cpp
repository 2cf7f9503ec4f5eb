// The main window's rules without a window: the start-up's order, the resize
// rule, the commands while a run goes on, the close box, the file list, the
// grid's headings and selection, and what a preview shows.
#include "core/presentation/main_window_model.h"

#include <array>
#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/os/folders.h"
#include "core/os/paths.h"
#include "core/presentation/key_data_file_list.h"
#include "core/presentation/key_grid_rules.h"
#include "core/presentation/run_session_model.h"
#include "core/presentation/substitution_table_model.h"
#include "run_session_doubles.h"
#include "support/case_table.h"
#include "support/recording_file_system.h"
#include "support/run_of_four_keys.h"
#include "support/sheet_builder.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

std::string PlaceText(const StoredWindowPlace& place) {
    std::string text;
    for (const std::optional<std::int64_t>& value :
         {place.top, place.left, place.height, place.width})
        text += (text.empty() ? "" : " ") + (value ? std::to_string(*value) : "-");
    return text;
}

// Writes down what the model has the window do, and what the model held then.
class RecordingWindow final : public MainWindowView {
  public:
    RecordingWindow(MainWindowModel& shown, const testing::RecordingFileSystem& files)
        : model(&shown), fileSystem(&files) {
        shown.SetView(this);
    }
    void OpenAbout(AboutModel&) override {
        Note("about");
        fileAccessesBeforeAbout = fileSystem->Log().size();
    }
    void PlaceWindow(const StoredWindowPlace& place) override { Note("place " + PlaceText(place)); }
    void PreferencesLoaded(PreferencesModel&) override {
        Note("preferences " + model->Preferences().templateFolder);
    }
    void ShowFileList(const std::string& folder, std::span<const std::string> names,
                      std::optional<std::size_t> chosen) override {
        std::string shown = "list " + folder;
        for (std::size_t row = 0; row < names.size(); ++row)
            shown +=
                std::string(chosen == row ? " [" : " ") + names[row] + (chosen == row ? "]" : "");
        Note(shown);
    }
    void KeySheetReplaced() override {
        Note("shows " + std::to_string(model->KeyCells().ColumnCount()) + " keys");
    }
    void PlaceGrid(const TwipsRect& place) override {
        Note("grid " + std::to_string(place.left) + " " + std::to_string(place.top) + " " +
             std::to_string(place.width) + " " + std::to_string(place.height));
    }
    void OpenPreferences(const StoredWindowPlace& place) override {
        Note("preferences at " + PlaceText(place));
    }
    void MakeSubstitutionTable(SubstitutionTableModel& made) override {
        table = &made;
        Note("table made");
    }
    // Shown and hidden again, or closed from its frame at (99, 98).
    void ShowSubstitutionTableAt(OuterPosition at) override {
        Note("table at " + std::to_string(at.top) + "," + std::to_string(at.left));
        if (closeTableByFrame)
            table->ClosedByFrame({.top = 99, .left = 98}, {.height = 3000, .width = 4000});
    }
    void UnmakeSubstitutionTable() override {
        Note("table unmade");
        table = nullptr;
    }
    void EndProgram() override { Note("end"); }
    void ShowTitle(const std::string& shown) override { title = shown; }
    void ShowNotice(const std::string& text) override { Note("notice " + text); }
    void ShowKeyFileWarning(const std::string& label, const std::string& whole) override {
        keyFileWarning = label.empty() ? "" : label + " | " + whole;
    }
    void RunStarting() override { Note("busy"); }
    void RunOver() override { Note("not busy"); }
    void CloseAfterRun() override { Note("close after run"); }
    void ShowRunReport(RunReportModel& shown) override {
        EXPECT_TRUE(report == nullptr || report == &shown) << "one report model a session";
        report = &shown;
        Note("report");
    }
    void ShowPreview(ProgramPreviewModel& shown) override {
        preview = &shown;
        const std::string& heading = shown.Content().heading;
        Note("preview " + heading.substr(0, heading.find(':')));
    }
    void ShowIndexCheck(IndexCheckModel& check) override {
        Note("index check " + check.Findings().substr(0, check.Findings().find(':')));
    }
    void SelectGridBlocks(std::span<const GridRange> blocks, GridCell current) override {
        Note("select " + std::to_string(blocks.size()) + " from " + std::to_string(current.column));
    }
    bool ConfirmUndo(const std::string&) override {
        Note("undo?");
        return false;
    }
    void ShowUndoOutcome(const UndoOutcome& outcome) override { Note("undo: " + outcome.text); }
    void AskBeforeRun(BeforeRunModel& check) override {
        Note("before run");
        check.Answer(beforeRunAnswer);
    }

    void Note(std::string event) {
        events.push_back(std::move(event));
        loadCompleteAt.push_back(model->LoadComplete());
    }

    MainWindowModel* model;
    RunReportModel* report = nullptr;  // the one the window shows
    const ProgramPreviewModel* preview = nullptr;
    SubstitutionTableModel* table = nullptr;
    bool closeTableByFrame = false;
    const testing::RecordingFileSystem* fileSystem;
    std::vector<std::string> events;
    std::vector<bool> loadCompleteAt;
    std::size_t fileAccessesBeforeAbout = ~std::size_t{0};
    BeforeRunButton beforeRunAnswer = BeforeRunButton::kCancel;
    std::string title;
    std::string keyFileWarning;
};

class MainWindowModelTest : public ::testing::Test {
  protected:
    std::string Settings() const { return testing::ReadBytes(folder.Path() / "Bladeway.INI"); }

    testing::TempFolder folder;
    testing::RecordingFileSystem fileSystem;
    MainWindowModel model{folder.File("bladeway"), fileSystem, [] { return "03/14/25"; }};
    RecordingWindow window{model, fileSystem};
};

TEST_F(MainWindowModelTest, TheStartUpRunsInItsOrderAndOnlyReads) {
    folder.Write("Bladeway.INI",
                 "[Positions]\r\nMainTop=-600\r\nMainWidth=6000\r\n[Paths]\r\nSource=" +
                     folder.Path().string() + "\r\nTemplate=masters\r\n");
    const std::string before = Settings();
    model.Load();
    EXPECT_EQ(window.fileAccessesBeforeAbout, 0U);
    EXPECT_EQ(window.events,
              (std::vector<std::string>{"about", "place 600 0 0 6000", "preferences masters",
                                        "list " + folder.Path().string()}));
    EXPECT_EQ(window.loadCompleteAt, (std::vector<bool>{false, false, false, false}));
    EXPECT_TRUE(model.LoadComplete());
    EXPECT_EQ(model.AppFolder(), folder.WithSeparator());
    EXPECT_EQ(model.Settings().Path(), folder.File("Bladeway.INI"));
    EXPECT_TRUE(model.FlatTemplateMode());
    EXPECT_EQ(Settings(), before);
    for (const std::string& access : fileSystem.Log())
        EXPECT_FALSE(access.starts_with("write")) << access;

    // Tree mode comes from the program's folder; no settings file is no step skipped.
    const std::filesystem::path shop = folder.Path() / "MyHarbor62Shop";
    std::filesystem::create_directories(shop);
    MainWindowModel tree((shop / "bladeway").string(), fileSystem, {});
    RecordingWindow treeWindow(tree, fileSystem);
    tree.Load();
    EXPECT_FALSE(tree.FlatTemplateMode());
    // The list stays on the current folder, and says so.
    const std::string listed = "the list shows the key data files of " + CurrentFolder() + ".";
    ASSERT_EQ(treeWindow.events.size(), 5U);
    EXPECT_EQ(treeWindow.events.back(), "notice Source Path is empty: " + listed);
    EXPECT_TRUE(treeWindow.events[3].starts_with("list " + CurrentFolder()))
        << treeWindow.events[3];
    // Preferences' OK lists a folder that is there, and names one that is not.
    tree.ListSourceFolder(folder.File("gone"));
    EXPECT_EQ(treeWindow.events.back(),
              "notice Source Path " + folder.File("gone") + " does not exist: " + listed);
    tree.ListSourceFolder(shop.string());
    EXPECT_EQ(treeWindow.events.back(), "list " + shop.string());
    EXPECT_EQ(tree.ListedFolder(), shop.string());
}

// The list offers the folder's key data files; a choice loads the file and
// stays chosen while the file is there; refreshing loads nothing.
TEST_F(MainWindowModelTest, TheFileListKeepsItsChoiceThroughRefreshesAndStartsAfreshInAFolder) {
    const std::filesystem::path keys = folder.Path() / "keys";
    std::filesystem::create_directories(keys / "folder.dat");
    for (const char* name : {"d.dat", "b.DAT", "C.Dat", "notes.txt", ".hidden.dat"})
        testing::WriteBytes(keys / name, "K1\r\n!\r\n");
    folder.Write("Bladeway.INI", "[Paths]\r\nSource=" + keys.string() + "/./\r\n");
    model.Load();
    const std::string list = "list " + keys.string();
    EXPECT_EQ(window.events.back(), list + " b.DAT C.Dat d.dat");
    EXPECT_EQ(model.ListedFolder(), keys.string());

    window.events.clear();
    model.FileListRowChosen(1);
    model.FileListRowChosen(3);  // no such row
    EXPECT_EQ(window.events, (std::vector<std::string>{"shows 1 keys"}));
    EXPECT_TRUE(window.title.starts_with("Bladeway - C.Dat - ")) << window.title;

    window.events.clear();
    model.RefreshFileList();  // nothing changed: nothing shown again
    testing::WriteBytes(keys / "a.dat", "");
    std::filesystem::remove(keys / "d.dat");
    model.RefreshFileList();
    std::filesystem::remove(keys / "C.Dat");
    model.RefreshFileList();
    EXPECT_EQ(window.events,
              (std::vector<std::string>{list + " a.dat b.DAT [C.Dat]", list + " a.dat b.DAT"}));

    // A folder that can no longer be read keeps the list; listing the
    // source again starts with no choice.
    model.FileListRowChosen(0);
    window.events.clear();
    std::filesystem::rename(keys, folder.Path() / "moved");
    model.RefreshFileList();
    std::filesystem::rename(folder.Path() / "moved", keys);
    model.ListSourceFolder(keys.string());
    EXPECT_EQ(window.events, std::vector<std::string>{list + " a.dat b.DAT"});

    // A folder just listed that cannot be read offers none of the names of
    // the one before (root reads every folder: nothing to see then).
    std::filesystem::permissions(keys, std::filesystem::perms::none);
    if (!ListFiles(keys.string())) {
        window.events.clear();
        model.ListSourceFolder(keys.string());
        EXPECT_EQ(window.events, std::vector<std::string>{list});
    }
    std::filesystem::permissions(keys, std::filesystem::perms::owner_all);
}

TEST_F(MainWindowModelTest, TheGridFollowsTheWindowWhereMoreThanAHundredTwipsAreLeftOnceStarted) {
    // Outer height less 740 and width less 2720; the grid's own size otherwise.
    testing::ExpectEach<std::pair<std::int64_t, std::int64_t>, TwipsRect>(
        [](const auto& size) { return MainWindowGridPlace(size.first, size.second, 300, 450); },
        {{{7500, 9000}, {2520, 240, 6280, 6760}},
         {{855, 2835}, {2520, 240, 115, 115}},
         {{840, 2820}, {2520, 240, 450, 300}},  // exactly 100 left: kept
         {{600, 9000}, {2520, 240, 6280, 300}}});
    EXPECT_EQ(MainWindowControlPlace("KeyData"), (TwipsRect{2520, 240, 3975, 4215}));
    EXPECT_EQ(MainWindowControlPlace("Ext"), (TwipsRect{360, 4080, 1815, 375}));
    model.Resized(3000, 6000, 300, 450);  // before the start-up: neither followed nor stored
    EXPECT_TRUE(window.events.empty());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Bladeway.INI"));
    model.Load();
    window.events.clear();
    model.Resized(3000, 6000, 300, 450);
    EXPECT_EQ(window.events, std::vector<std::string>{"grid 2520 240 3280 2260"});
    EXPECT_EQ(model.Settings().ReadSetting("Positions", "MainHeight"), "3000");
    EXPECT_EQ(model.Settings().ReadSetting("Positions", "MainWidth"), "6000");
}

// The model's run session over a queue this thread drains, with a run that
// waits at its first key until the test lets it go on.
class BlockedRun {
  public:
    explicit BlockedRun(MainWindowModel& model)
        : model_(model),
          session_(model.MakeRunSession(
              RunSessionHooks{
                  .post = [this](std::function<void()> task) { queue_.Post(std::move(task)); },
                  .startTimer = [](std::chrono::milliseconds) {},
                  .stopTimer = [] {}},
              [this](const Sheet& sheet, const SheetSelection&, const RunEnvironment& environment) {
                  gate_.Pass();
                  firstCell_ = sheet.CellText(1, 1);
                  mirror_ = environment.preferences.MirrorCharacter();
                  RunReport report = testing::RunOfFourKeys("/out/", 5);
                  report.stopped = environment.stopRequested();
                  report.notProcessed = {7};
                  return report;
              })) {
        session_.SetView(&view);
    }
    ~BlockedRun() {
        gate_.Open();
        model_.EndRunSession();
    }
    // Lets the run end and delivers its end (posted even when Stop ended it).
    void Finish() {
        gate_.Open();
        Settle();
    }
    // Delivers what the worker posts (the check's question among it) until
    // the run, or the check before it, has ended.
    void Settle() {
        ASSERT_TRUE(queue_.DrainUntil([this] { return !session_.IsRunning(); }));
    }
    // The first cell of the sheet the run had, and its mirror character, as
    // it read them at its end.
    const std::string& FirstCell() const { return firstCell_; }
    const std::string& Mirror() const { return mirror_; }

    testing::RecordingRunView view;

  private:
    testing::Gate gate_;
    testing::PostQueue queue_;
    std::string firstCell_, mirror_;
    MainWindowModel& model_;
    RunSessionModel& session_;
};

TEST_F(MainWindowModelTest,
       NoCommandActsWhileARunGoesOnEachActsAfterItAndTheReportNamesTheDestination) {
    const std::string destination = folder.File("out");
    std::filesystem::create_directory(destination);
    folder.Write("Bladeway.INI",
                 "[Positions]\r\nPrefTop=1500\r\nPrefLeft=-3000\r\n[Paths]\r\nDestination=" +
                     destination + "\r\n");
    model.Load();
    BlockedRun run(model);
    const GridSelectionRanges none;
    folder.Write("Harbor.dat", "K1\r\n!\r\nK2\r\n!\r\n");
    const auto everyCommand = [&] {
        model.FileChosen(folder.WithSeparator(), "Harbor.dat");
        model.OpenPreferences();
        model.Exit();
        model.OpenSubstitutionTable();
        model.GridMenuChosen(GridMenuCommand::PreviewProgram, none, 501);  // beyond the sheet
        model.GridMenuChosen(GridMenuCommand::PreviewProgram, none, std::nullopt);  // the first
        model.GridMenuChosen(GridMenuCommand::ShowRunReport, none, std::nullopt);
        model.GridMenuChosen(GridMenuCommand::RecentRuns, none, std::nullopt);  // a submenu
        if (window.report != nullptr)
            window.report->SelectKeys();
        model.Process(none);
    };
    window.events.clear();
    model.Process(none);
    ASSERT_TRUE(model.RunGoingOn());
    everyCommand();
    EXPECT_EQ(window.events, std::vector<std::string>{"busy"});
    run.Finish();  // the run's end reaches the model by itself, and the report its destination
    EXPECT_FALSE(model.RunGoingOn());
    EXPECT_EQ(window.events, (std::vector<std::string>{"busy", "not busy", "report"}));
    ASSERT_NE(window.report, nullptr);
    EXPECT_EQ(window.report->SuggestedCsvPath(), JoinPathOnce(destination, "report.csv"));
    window.events.clear();
    model.FileChosen(folder.WithSeparator(), "");  // no file selected
    everyCommand();
    EXPECT_EQ(window.events,
              (std::vector<std::string>{"shows 2 keys", "preferences at 1500 3000 - -", "end",
                                        "table made", "table at 0,0", "preview Column A", "report",
                                        "select 1 from 3", "busy"}));
    run.Finish();
}

// Vars makes the editor on first use, beside the settings file, and keeps
// it while hidden; after its frame closed it the next Vars makes it afresh,
// at the place then kept.
TEST_F(MainWindowModelTest,
       TheTableIsMadeOnFirstUseKeptWhileHiddenAndMadeAfreshAfterItsFrameClosedIt) {
    folder.Write("Bladeway.INI", "[Positions]\r\nVarSubTop=1500\r\nVarSubLeft=-300\r\n");
    model.Load();
    window.events.clear();
    model.OpenSubstitutionTable();
    SubstitutionTableModel* const first = window.table;
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->Load());
    EXPECT_EQ(fileSystem.Log().back(), "read " + folder.File("VarTab.Dat"));
    model.OpenSubstitutionTable(OuterPosition{.top = 150, .left = 75});
    EXPECT_EQ(window.table, first);
    window.closeTableByFrame = true;
    model.OpenSubstitutionTable();
    EXPECT_EQ(window.table, nullptr);
    window.closeTableByFrame = false;
    model.OpenSubstitutionTable();
    EXPECT_EQ(window.events,
              (std::vector<std::string>{"table made", "table at 1500,300", "table at 150,75",
                                        "table at 1500,300", "table unmade", "table made",
                                        "table at 99,98"}));
}

// The report's buttons reach the other windows through the application's
// models; the menu shows the same report again.
TEST_F(MainWindowModelTest, TheReportSelectsKeysInTheGridOpensProgramsAndChecksAnIndex) {
    model.Load();
    BlockedRun run(model);
    model.GridMenuChosen(GridMenuCommand::ShowRunReport, NoSelection(), std::nullopt);
    EXPECT_EQ(window.report, nullptr) << "no report before a run has ended";
    model.Process({});
    run.Finish();
    ASSERT_NE(window.report, nullptr);
    RunReportModel& report = *window.report;
    window.events.clear();
    report.SelectKeys();          // C, D and E did not end well
    report.SelectNotProcessed();  // the run did not reach G
    report.OpenRow(0);
    report.SetCurrentRow(3);  // E met a damaged index
    report.CheckIndexOfCurrentRow();
    model.GridMenuChosen(GridMenuCommand::ShowRunReport, NoSelection(), std::nullopt);
    EXPECT_EQ(window.events,
              (std::vector<std::string>{"select 1 from 3", "select 1 from 7", "preview Column B",
                                        "index check cannot open '/out/INDICE.Prg'", "report"}));
    ASSERT_NE(window.preview, nullptr);
    EXPECT_EQ(window.preview->Content().missing.rfind("cannot open '/out/P2': ", 0), 0U)
        << window.preview->Content().missing;
}

// The check before the run, the run's first part: a finding opens its window
// (with none the run goes on at once, as above), and only "Process anyway"
// lets the run go on then.
TEST_F(MainWindowModelTest, ProcessAsksFirstOnlyWhenTheCheckFindsSomething) {
    model.Load();  // no settings: every folder empty
    BlockedRun run(model);
    std::string keyData;
    for (const std::string& line : testing::ExampleColumn("KEY1"))
        keyData += line + "\r\n";
    folder.Write("Key1.dat", keyData + "!\r\n");
    model.FileChosen(folder.WithSeparator(), "Key1.dat");
    window.events.clear();
    model.Process({});
    run.Settle();  // the check on the worker, its question on this thread
    EXPECT_EQ(window.events, (std::vector<std::string>{"busy", "before run", "not busy"}));
    EXPECT_FALSE(model.RunGoingOn());
    window.beforeRunAnswer = BeforeRunButton::kProcessAnyway;
    // The run takes the cells as edited and the preferences as they stand, saved or not.
    ASSERT_TRUE(model.KeySheet().EditCell(1, 1, "TYPED"));
    model.Preferences().SetMirrorCharacter("#");
    window.events.clear();
    model.Process({});
    // The run works on its own copy: an edit meanwhile is the grid's only.
    ASSERT_TRUE(model.KeySheet().EditCell(1, 1, "EDITED"));
    run.Finish();
    EXPECT_EQ(window.events,
              (std::vector<std::string>{"busy", "before run", "not busy", "report"}));
    EXPECT_EQ(run.FirstCell(), "TYPED");
    EXPECT_EQ(run.Mirror(), "#");
}

TEST_F(MainWindowModelTest, TheTitleNamesTheFileAndModeAndWhatNeedsTheWorkersEye) {
    model.Load();  // no settings: no folders, Translate X to H on
    EXPECT_EQ(window.title,
              "Bladeway - flat mode - check: Template Path empty, Destination Path empty");
    // Preferences closed by its close box leaves values the settings file does not keep.
    model.Preferences().sourceFolder = folder.File("gone");
    model.Preferences().templateFolder = folder.Path().string();
    model.Preferences().destinationFolder = folder.Path().string();
    ASSERT_TRUE(model.Preferences().SetXToHOption(1));
    model.OpenPreferences();
    EXPECT_EQ(window.title,
              "Bladeway - flat mode, Translate X to H - check: Source Path not found, Preferences "
              "not saved");
    // Its OK keeps them and lists the source folder.
    model.Preferences().sourceFolder = folder.Path().string();
    window.events.clear();
    model.PreferencesWindow().Ok({});
    ASSERT_FALSE(window.events.empty());
    EXPECT_EQ(window.events.front(), "list " + folder.Path().string());

    // A damaged file is named beside the list, and stays named and marked
    // until a whole one loads.
    folder.Write("Cut.dat", "K1\r\n!\r\nK2\r\n");
    window.events.clear();
    model.FileChosen(folder.WithSeparator(), "Cut.dat");
    const std::string cut =
        "Cut.dat: the file ends inside key 2 (1 line after its last \"!\"): that key and any "
        "after it are missing, the file may be cut off.";
    EXPECT_EQ(window.events.back(), "notice " + cut);
    EXPECT_EQ(window.keyFileWarning, "Cut at key 2 | " + cut);
    EXPECT_TRUE(
        window.title.starts_with("Bladeway - Cut.dat (damaged) - flat mode, Translate X to H"));
    // A file that cannot be read leaves the sheet, and the title, as they were.
    window.events.clear();
    model.FileChosen(folder.WithSeparator(), "Gone.dat");
    EXPECT_TRUE(window.events.empty());
    EXPECT_EQ(model.KeyCells().CellText(1, 1), "K1");
    EXPECT_TRUE(window.title.starts_with("Bladeway - Cut.dat (damaged)"));
    EXPECT_FALSE(window.keyFileWarning.empty());
    folder.Write("Whole.dat", "K1\r\n!\r\n");
    model.FileChosen(folder.WithSeparator(), "Whole.dat");
    EXPECT_EQ(window.keyFileWarning, "");
}

TEST_F(MainWindowModelTest, TheCloseBoxDuringARunStopsItAndClosesAfterItWithoutAReport) {
    model.Load();
    BlockedRun run(model);
    model.Process({});
    window.events.clear();
    EXPECT_FALSE(model.CloseRequested(-120, -60));
    EXPECT_TRUE(window.events.empty());
    // Stopped in its check or at its first key, it closes the window alike.
    run.Finish();
    EXPECT_EQ(window.events, (std::vector<std::string>{"not busy", "close after run"}));
    // The window's own closing then stores the place and ends.
    EXPECT_TRUE(model.CloseRequested(-120, -60));
    EXPECT_EQ(window.events.back(), "end");
    EXPECT_EQ(model.Settings().ReadSetting("Positions", "MainTop"), "-120");
    EXPECT_EQ(model.Settings().ReadSetting("Positions", "MainLeft"), "-60");
}

TEST(KeyDataFileList, DataFilesInAnyLetterCaseOrderedWithoutRegardToIt) {
    EXPECT_EQ(KeyDataFileNames({"b.DAT", "notes.txt", "a.dat.bak", "\xC3\x84rger.dat", "C.Dat",
                                "zeta.dat", "a.dat", "\xC3\xA4ra.dat", "A.dat", "dat", "x.da"}),
              (std::vector<std::string>{"A.dat", "a.dat", "b.DAT", "C.Dat", "zeta.dat",
                                        "\xC3\xA4ra.dat", "\xC3\x84rger.dat"}));
    testing::TempFolder folder;
    const std::string file = folder.Write("a.dat", "");
    for (const std::string& bad : {std::string(), folder.File("missing"), file})
        EXPECT_FALSE(CanListFolder(Disk(), bad)) << bad;
    EXPECT_TRUE(CanListFolder(Disk(), folder.Path().string()));
}

// Only the first of the choosing keys, unmodified, with nothing chosen yet,
// chooses the focus frame's row (or the first); anything else is the list's.
TEST(KeyDataFileList, TheFirstChoosingKeyChoosesTheFocusedRow) {
    using Key = FileListKey;
    for (const Key key : {Key::kDown, Key::kUp, Key::kSpace, Key::kReturn}) {
        EXPECT_EQ(RowTheFirstKeyChooses(key, false, false, 3, 2), 2U);
        EXPECT_EQ(RowTheFirstKeyChooses(key, false, false, 3, std::nullopt), 0U);
        EXPECT_EQ(RowTheFirstKeyChooses(key, false, false, 3, 7), 0U);  // past the end
    }
    EXPECT_EQ(RowTheFirstKeyChooses(Key::kOther, false, false, 3, 1), std::nullopt);
    EXPECT_EQ(RowTheFirstKeyChooses(Key::kDown, true, false, 3, 1), std::nullopt);
    EXPECT_EQ(RowTheFirstKeyChooses(Key::kDown, false, true, 3, 1), std::nullopt);
    EXPECT_EQ(RowTheFirstKeyChooses(Key::kDown, false, false, 0, std::nullopt), std::nullopt);
}

TEST(KeyGridRules, HeadingsAreSpreadsheetLettersOverKeysAndNumbersBesideRows) {
    const Sheet sheet;  // 500 x 500
    EXPECT_EQ(KeyGridColumnHeading(sheet, 0), "A");
    EXPECT_EQ(KeyGridColumnHeading(sheet, 499), "SF");
    EXPECT_EQ(KeyGridColumnHeading(sheet, 500), std::nullopt);
    EXPECT_EQ(KeyGridColumnHeading(sheet, -1), std::nullopt);
    EXPECT_EQ(KeyGridRowHeading(sheet, 499), 500);
    EXPECT_EQ(KeyGridRowHeading(sheet, 500), std::nullopt);
}

TEST(KeyGridRules, ABlockIsMoreThanTheCurrentCellAndRowOneCellsChooseTheKeys) {
    struct Row {
        const char* what;
        std::vector<GridRange> ranges;
        std::optional<GridCell> current;
        bool block;
    };
    const GridRange cell{{2, 3}, {2, 3}};
    for (const Row& row : std::initializer_list<Row>{
             {"nothing", {}, GridCell{2, 3}, false},
             {"a plain click", {cell}, GridCell{2, 3}, false},
             {"the cell repeated", {cell, cell}, GridCell{2, 3}, false},
             {"a cell that is not the current one", {cell}, GridCell{4, 1}, true},
             {"a cell and no current one", {cell}, std::nullopt, true},
             {"two cells", {cell, {{3, 3}, {3, 3}}}, GridCell{2, 3}, true},
             {"a drag over two cells", {{{2, 3}, {2, 4}}}, GridCell{2, 3}, true}}) {
        EXPECT_EQ(GridSelectionRanges(row.ranges, row.current).IsAnyBlockSelected(), row.block)
            << row.what;
    }
    const GridSelectionRanges columns({{{2, 1}, {4, 500}}}, GridCell{2, 1});
    EXPECT_TRUE(columns.IsCellSelected(4, 500));
    EXPECT_FALSE(columns.IsCellSelected(5, 1));

    // Chosen key columns as whole-column blocks: left, top, right, bottom.
    std::vector<std::array<int, 4>> blocks;
    for (const GridRange& b : ColumnBlocks(std::vector<int>{2, 3, 4, 7, 9, 10}, 12))
        blocks.push_back(
            {b.topLeft.column, b.topLeft.row, b.bottomRight.column, b.bottomRight.row});
    EXPECT_EQ(blocks,
              (std::vector<std::array<int, 4>>{{2, 1, 4, 12}, {7, 1, 7, 12}, {9, 1, 10, 12}}));
}

}  // namespace
}  // namespace bladeway
