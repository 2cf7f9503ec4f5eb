// The run report's rules without a window: its rows and lines, the filter,
// what each button hands back or opens, and Save as CSV.
#include "core/presentation/run_report_model.h"

#include <array>
#include <filesystem>

#include <gtest/gtest.h>

#include "core/presentation/pixel_rect.h"
#include "core/presentation/window_failures.h"
#include "core/run/run_report_text.h"
#include "support/fault_file_system.h"
#include "support/run_of_four_keys.h"
#include "support/sheet_builder.h"
#include "support/temp_folder.h"
#include "support/worked_example.h"

namespace bladeway {
namespace {

namespace fs = std::filesystem;

// Keeps what the model last told it, and what it handed on through its
// links; answers the file question with `chosen`.
class FakeReportView final : public RunReportView {
  public:
    void ShowLines(const std::string& keys, const std::string& summaryLine,
                   const std::string& sharedLine) override {
        processedKeys = keys;
        summary = summaryLine;
        shared = sharedLine;
    }
    void ShowRows(const std::vector<RunReportRow>& shownRows) override { rows = shownRows; }
    void ShowRowsShown(const std::vector<bool>& flags) override { shown = flags; }
    void EnableSelectKeys(bool enabled) override { selectKeys = enabled; }
    void EnableSelectNotProcessed(bool enabled) override { selectNotProcessed = enabled; }
    void EnableCheckIndex(bool enabled) override { checkIndex = enabled; }
    void PutOnClipboard(const std::string& text) override { clipboard = text; }
    std::optional<std::string> AskForCsvFile(const CsvFileQuestion& question) override {
        asked = question.suggested;
        return chosen;
    }
    void ShowWarning(const std::string& message) override { warnings.push_back(message); }
    void EnableUndo(bool enabled) override { undo = enabled; }
    bool ConfirmUndo(const std::string& question) override {
        questions.push_back(question);
        return answer;
    }
    void ShowUndoOutcome(const UndoOutcome& outcome) override {
        outcomes.push_back(outcome.text);
        undoComplete = outcome.complete;
    }

    std::string processedKeys, summary, shared, clipboard, asked;
    bool undo = false, answer = false, undoComplete = false, selectKeys = false,
         selectNotProcessed = false, checkIndex = false;
    std::vector<std::string> questions, outcomes, checked, warnings;
    std::vector<RunReportRow> rows;
    std::vector<bool> shown;
    std::vector<int> selected, opened;
    std::optional<std::string> chosen;
};

KeyResult Key(int column, const std::string& program) {
    return testing::WrittenKey(column, program, "/out/");
}

class RunReportModelTest : public ::testing::Test {
  protected:
    RunReportModelTest() { model.SetView(&view); }

    testing::TempFolder folder;
    testing::FaultFileSystem fileSystem;
    FakeReportView view;
    RunReportModel model{
        fileSystem, folder.File("home"),
        RunReportLinks{[this](const std::vector<int>& columns) { view.selected = columns; },
                       [this](const KeyResult& key) { view.opened.push_back(key.column); },
                       [this](const std::string& path) { view.checked.push_back(path); }}};
    // The run of four keys B to E into /out/, of a sheet of twelve keys.
    const RunReport mixedRun = testing::RunOfFourKeys("/out/", 12);
};

TEST_F(RunReportModelTest, EachKeyHasItsRowTheProblemsAreMarkedAndCanBeShownAlone) {
    model.ShowReport(mixedRun, "/out");
    EXPECT_EQ(view.processedKeys, "all 12 keys: no block selected");
    EXPECT_EQ(view.summary, SummaryLine(mixedRun, /*dryRun=*/false));
    EXPECT_EQ(view.shared, "") << "the keys' problems differ";
    ASSERT_EQ(view.rows.size(), 4U);
    using Cells = std::array<std::string, kRunReportColumnCount>;
    EXPECT_EQ(view.rows[0].cells,
              (Cells{"B", "P2", "ok", "entered in '/out/INDICE.Prg'", "", "/out/P2"}));
    EXPECT_FALSE(view.rows[0].problem);
    EXPECT_EQ(view.rows[1].cells,
              (Cells{"! C", "P3", "GNF - template file not found, no program written",
                     "not entered: see the problem", "",
                     "not written: template /masters/DZ120 not found"}));
    // A key's own problems follow what became of its program.
    EXPECT_EQ(view.rows[2].cells,
              (Cells{"! D", "P4", "-", "not entered: see the problem", "",
                     "not written; cannot write '/out/P4': No space left on device"}));
    EXPECT_TRUE(view.rows[3].problem) << "not entered in the index";

    EXPECT_EQ(view.shown, (std::vector<bool>{true, true, true, true}));
    model.SetProblemsOnly(true);
    EXPECT_EQ(view.shown, (std::vector<bool>{false, true, true, true}));
    // The filter holds for the next report.
    model.ShowReport(mixedRun, "/out");
    EXPECT_EQ(view.shown, (std::vector<bool>{false, true, true, true}));

    model.CopyAsText();
    EXPECT_EQ(view.clipboard, PlainReportText(mixedRun, /*dryRun=*/false));

    // A clean run under the filter says why the table is empty.
    RunReport clean;
    clean.keys = {Key(2, "P2")};
    model.ShowReport(clean, "/out");
    EXPECT_EQ(view.shown, std::vector<bool>{false});
    EXPECT_EQ(view.shared, "No keys with problems.");
    model.SetProblemsOnly(false);
    EXPECT_EQ(view.shared, "");
}

TEST_F(RunReportModelTest, TheButtonsHandBackTheProblemKeysTheirProgramsAndTheDamagedIndex) {
    model.ShowReport(mixedRun, "/out");
    EXPECT_TRUE(view.selectKeys);
    model.SelectKeys();
    EXPECT_EQ(view.selected, (std::vector<int>{3, 4, 5}));

    // Check index follows the current row: only a damaged index leads anywhere.
    EXPECT_FALSE(view.checkIndex) << "no current row";
    model.CheckIndexOfCurrentRow();
    model.SetCurrentRow(3);
    EXPECT_TRUE(view.checkIndex);
    model.CheckIndexOfCurrentRow();
    model.SetCurrentRow(1);
    EXPECT_FALSE(view.checkIndex);
    model.CheckIndexOfCurrentRow();
    EXPECT_EQ(view.checked, std::vector<std::string>{"/out/INDICE.Prg"});

    for (const int row : {2, -1, 4})
        model.OpenRow(row);
    EXPECT_EQ(view.opened, std::vector<int>{4}) << "rows past the report open nothing";

    model.SetCurrentRow(3);
    RunReport good;
    good.keys = {Key(2, "P2")};
    model.ShowReport(good, "/out");
    EXPECT_FALSE(view.selectKeys);
    EXPECT_FALSE(view.checkIndex) << "the current row is past the new report";

    // A run stopped early offers the keys it did not reach.
    EXPECT_FALSE(view.selectNotProcessed);
    good.stopped = true;
    good.notProcessed = {3, 7};
    model.ShowReport(good, "/out");
    EXPECT_TRUE(view.selectNotProcessed);
    view.selected.clear();
    model.SelectNotProcessed();
    EXPECT_EQ(view.selected, (std::vector<int>{3, 7}));
}

// The report opens beside the main window rather than over it: where a room
// of the screen holds it whole, else shrunk into the largest room that holds
// it at its smallest, else as near as the screen lets it.
TEST(BesidePlaceTest, TheFirstRoomThatHoldsItElseTheLargestShrunkElseAsNearAsCanBe) {
    const PixelRect wide{0, 0, 1920, 1040};
    // As the report asks: never narrower, down to half its height.
    const auto report = [](const PixelRect& owner, const PixelRect& screen) {
        return BesidePlace(owner, 1008, 447, 1008, 223, screen);
    };
    EXPECT_EQ(report({0, 0, 800, 600}, wide), (PixelRect{800, 0, 1008, 447})) << "right";
    EXPECT_EQ(report({1000, 0, 900, 500}, wide), (PixelRect{912, 500, 1008, 447})) << "below";
    EXPECT_EQ(report({0, 0, 1920, 600}, wide), (PixelRect{0, 600, 1008, 440})) << "shortened";
    EXPECT_EQ(report({1000, 0, 900, 1040}, wide), (PixelRect{912, 0, 1008, 447}))
        << "no room: over the owner's right part";
    EXPECT_EQ(BesidePlace({1000, 0, 900, 1040}, 1008, 447, 500, 223, wide),
              (PixelRect{0, 0, 1000, 447}))
        << "narrowed, where it may be";
    EXPECT_EQ(report({0, 0, 800, 600}, {0, 0, 1366, 728}), (PixelRect{358, 0, 1008, 447}));
}

TEST_F(RunReportModelTest, ACauseEveryKeySharesIsSaidOnceAboveTheRows) {
    RunReport report;
    report.keys = {Key(2, "P2"), Key(3, "P3")};
    for (KeyResult& key : report.keys) {
        key.programWritten = false;
        key.errors = {"cannot write: Read-only file system"};
    }
    model.ShowReport(report, "/out");
    EXPECT_EQ(view.shared, "Every key: cannot write: Read-only file system");
    EXPECT_EQ(view.rows[0].cells.at(static_cast<std::size_t>(RunReportColumn::kProgramFile)),
              "not written");
}

// Undo this run is offered for a run kept for undo; it asks first, and once
// the run is undone it is offered no more.
TEST_F(RunReportModelTest, UndoThisRunAsksFirstAndIsOfferedUntilDone) {
    PreferenceValues preferences;
    preferences.templateFolder = folder.File("");
    preferences.destinationFolder = folder.File("");
    folder.Write("MASTER", testing::kExampleTemplate);
    RunEnvironment environment{preferences, true, Disk(), {}, {}};
    environment.journal.folder = folder.File("runs");
    const auto sheet = testing::SheetOf({{"K", "", "MASTER", "P1", "1", "D"}});
    const RunReport report = RunProcessing(*sheet, NoSelection(), environment);
    model.ShowReport(mixedRun, folder.File(""));
    EXPECT_FALSE(view.undo) << "a run kept for no undo";
    const RunUndoModel undo([&environment] { return environment.journal; }, "test");
    model.SetUndo(&undo);
    model.ShowReport(report, folder.File(""));
    EXPECT_TRUE(view.undo);
    model.UndoRun();
    ASSERT_EQ(view.questions.size(), 1U);
    EXPECT_NE(view.questions[0].find("Would remove 1 file the run created"), std::string::npos)
        << view.questions[0];
    EXPECT_TRUE(fs::exists(folder.Path() / "P1")) << "answered no";
    view.answer = true;
    model.UndoRun();
    EXPECT_FALSE(fs::exists(folder.Path() / "P1"));
    ASSERT_EQ(view.outcomes.size(), 1U);
    EXPECT_TRUE(view.undoComplete) << view.outcomes[0];
    EXPECT_FALSE(view.undo);
    EXPECT_FALSE(model.CanUndo());
    // The summary says it was undone, when, and by which run; so does the
    // report shown again after an undo from elsewhere.
    const std::string undone = model.Undone();
    EXPECT_TRUE(undone.starts_with("undone at 20")) << undone;
    EXPECT_TRUE(view.summary.ends_with("; " + undone)) << view.summary;
    model.ShowReport(report, folder.File(""));
    EXPECT_TRUE(model.CanUndo());
    model.Refresh();
    EXPECT_FALSE(view.undo);
    EXPECT_TRUE(view.summary.ends_with("; " + undone)) << view.summary;
    // The grid menu tells runs apart: time to the second, file, keys, mode,
    // options, destination.
    const std::vector<RecentRun> recent = undo.RecentRuns();
    ASSERT_EQ(recent.size(), 2U);
    EXPECT_TRUE(recent[0].label.find(": undo of run " + report.journalId) == 19) << recent[0].label;
    EXPECT_EQ(recent[1].label.substr(19), ": all 1 key, flat, Translate X to H, into " +
                                              preferences.destinationFolder + " (undone)");
    // As a menu shows them: each "&" of a label no access key; an empty menu
    // says so, undoing nothing.
    const std::vector<RecentRunsMenuEntry> entries =
        RecentRunsMenu({{"1", "X&L to L&H"}, {"2", "&&"}, {"3", "plain"}});
    ASSERT_EQ(entries.size(), 3U);
    EXPECT_EQ(entries[0].caption, "X&&L to L&&H");
    EXPECT_EQ(entries[1].caption, "&&&&");
    EXPECT_EQ(entries[2].caption, "plain");
    EXPECT_EQ(entries[2].runId, "3");
    const std::vector<RecentRunsMenuEntry> none = RecentRunsMenu({});
    ASSERT_EQ(none.size(), 1U);
    EXPECT_EQ(none[0].caption, kNoRecentRunsCaption);
    EXPECT_TRUE(none[0].runId.empty());
    // A run the journal no longer holds is said to be so, and nothing is undone.
    EXPECT_FALSE(undo.Undo("20260101-000000-000000", view));
    EXPECT_TRUE(view.outcomes.back().starts_with("The run cannot be undone: "))
        << view.outcomes.back();
    EXPECT_FALSE(view.undoComplete);
}

// A long outcome keeps its first lines and its last, the undo's ID; every
// line is there to copy.
TEST(UndoOutcomeTest, ALongOutcomeKeepsItsFirstLinesAndTheUndosIdAndOffersTheWhole) {
    std::vector<std::string> lines;
    for (int line = 1; line <= 20; ++line)
        lines.push_back("line " + std::to_string(line));
    const UndoOutcome outcome = UndoOutcomeOf(lines, false);
    EXPECT_TRUE(outcome.text.starts_with("line 1\nline 2\n")) << outcome.text;
    EXPECT_TRUE(
        outcome.text.ends_with("line 13\n... and 6 lines more, which Copy all lines puts "
                               "on the clipboard\nline 20"))
        << outcome.text;
    EXPECT_EQ(outcome.whole.size(), outcome.whole.find("line 20") + 7);
    EXPECT_NE(outcome.whole.find("line 14\n"), std::string::npos);
    lines.resize(14);
    EXPECT_EQ(UndoOutcomeOf(lines, true).text, UndoOutcomeOf(lines, true).whole);
}

TEST_F(RunReportModelTest, SaveAsCsvStartsInTheDestinationAddsTheExtensionAndWarnsOfAFailure) {
    const std::string home = (fs::path(folder.File("home")) / "report.csv").string();
    for (const auto& [destination, offered] : std::vector<std::pair<std::string, std::string>>{
             {folder.Path().string(), folder.File("report.csv")},
             {folder.WithSeparator(), folder.File("report.csv")},
             {folder.File("gone"), home},
             {"", home}}) {
        model.ShowReport(mixedRun, destination);
        EXPECT_EQ(model.SuggestedCsvPath(), offered) << destination;
    }

    model.ShowReport(mixedRun, folder.Path().string());
    model.SetProblemsOnly(true);
    view.chosen = folder.File("problems");
    model.SaveAsCsv();
    EXPECT_EQ(view.asked, folder.File("report.csv"));
    EXPECT_EQ(testing::ReadBytes(folder.File("problems.csv")), ReportCsv(mixedRun, true));
    model.SetProblemsOnly(false);
    view.chosen = folder.File("All.CSV");
    model.SaveAsCsv();
    EXPECT_EQ(testing::ReadBytes(folder.File("All.CSV")), ReportCsv(mixedRun, false));
    EXPECT_FALSE(fs::exists(folder.File("All.CSV.csv")));

    view.chosen.reset();  // cancelled
    model.SaveAsCsv();
    fileSystem.FailWrites(folder.File("full.csv"));
    view.chosen = folder.File("full.csv");
    model.SaveAsCsv();
    EXPECT_EQ(view.warnings, std::vector<std::string>{"cannot write '" + folder.File("full.csv") +
                                                      "': No space left on device"});
    EXPECT_EQ(testing::FilesBelow(folder.Path()).size(), 2U);
}

}  // namespace
}  // namespace bladeway

namespace bladeway {
namespace {

// A window the system refuses: its reason, and for the run report what the
// run did all the same, since nothing else will say it.
TEST(WindowFailuresTest, SayTheSystemsReasonAndTheRunsOutcome) {
    EXPECT_EQ(MainWindowFailureText("Not enough memory"),
              "Bladeway could not open its main window: Not enough memory");
    EXPECT_EQ(MainWindowFailureText(""), "Bladeway could not open its main window");
    EXPECT_EQ(RunReportFailureText("Not enough memory", testing::RunOfFourKeys("/out/", 12)),
              "Bladeway could not open the run report (Not enough memory).\n\n"
              "all 12 keys: no block selected\n"
              "4 keys processed: 2 programs written, 3 keys with problems, 3 programs not "
              "entered in INDICE.Prg");
}

}  // namespace
}  // namespace bladeway
