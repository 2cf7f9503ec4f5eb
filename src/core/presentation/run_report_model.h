#pragma once

// The report of the last run, a window of its own that blocks no other: which
// keys were taken, the summary line in the command-line tool's words, a cause
// every key shares said once, then one row per processed key (its program,
// status, index outcome and the values it took from earlier keys). Rows with
// problems are marked and can be shown alone or handed back to the grid to be
// selected ("Select these keys"); opening a row asks for that key's program; a
// row whose key met a damaged index leads to the check of that index; the
// report is copied as text and saved as CSV.
//
// The window lays itself out (the table grows with it): the model gives its
// controls in order with their captions, the front end places them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/presentation/control_text.h"
#include "core/presentation/run_undo_model.h"
#include "core/presentation/twips.h"
#include "core/run/processing_run.h"
#include "core/storage/file_system.h"
#include "core/text/expected.h"

namespace bladeway {

// The table's columns in their order: the program file, a long path, comes last.
enum class RunReportColumn : std::uint8_t {
    kColumn,
    kProgram,
    kStatus,
    kIndex,
    kFromEarlierKeys,
    kProgramFile
};
inline constexpr std::size_t kRunReportColumnCount = 6;
inline constexpr std::array<std::string_view, kRunReportColumnCount> kRunReportColumnCaptions = {
    "Column", "Program", "Status", "Index", "From earlier keys", "Program file"};

// No column is wider than this many average characters, so that a long text
// does not push the others out of sight; a cell cut short shows whole as
// its tooltip.
inline constexpr int kRunReportWidestColumnCharacters = 48;

// One key's row, each cell as shown (UTF-8).
struct RunReportRow {
    std::array<std::string, kRunReportColumnCount> cells;
    bool problem = false;  // the key did not end well: "! " before its column, tinted
};

// The tint of a row with a problem.
inline constexpr Rgb kProblemRowTint{0xfb, 0xe3, 0xe0};

// The window, top to bottom: three lines, the table, then a row of controls,
// a gap between the first three and the last three.
// The window\'s own name; its title is ProgramWindowTitle of it.
inline constexpr ControlText kRunReportWindow{"RunReport", "Run Report"};
inline constexpr TwipsRect kRunReportClientSize{0, 0, 15000, 6300};
inline constexpr std::array<ControlText, 3> kRunReportLines = {
    {{"ProcessedKeys"}, {"Summary"}, {"SharedProblem"}}};
inline constexpr ControlText kRunReportTable{"Keys"};
// The third line when "Only keys with problems" leaves no row.
inline constexpr std::string_view kNoKeysWithProblems = "No keys with problems.";
inline constexpr ControlText kRunReportProblemsOnly{"ProblemsOnly", "Only keys with problems"};
inline constexpr ControlText kRunReportSelectKeys{
    "SelectKeys", "Select these keys",
    "Selects the keys with problems in the grid, so that Process takes only them"};
inline constexpr ControlText kRunReportSelectNotProcessed{
    "SelectNotProcessed", "Select the keys not processed",
    "Selects the keys a stopped run did not reach, so that Process takes only them"};
inline constexpr ControlText kRunReportCheckIndex{
    "CheckIndex", "Check index\xE2\x80\xA6",  // an ellipsis, in UTF-8
    "Shows what is wrong with the damaged INDICE.Prg of the selected key"};
inline constexpr ControlText kRunReportCopy{"CopyReport", "Copy as Text"};
inline constexpr ControlText kRunReportSaveCsv{"SaveCsv", "Save as CSV..."};
inline constexpr ControlText kRunReportClose{"CloseReport", "Close"};

// What Save as CSV asks the user: a file to save to, starting at `suggested`.
struct CsvFileQuestion {
    std::string_view caption = "Save Run Report";
    std::string_view filterName = "CSV";
    std::string_view pattern = "*.csv";
    std::string suggested;  // a path, in the file system's encoding
};

// What the model tells the window, and asks and tells about undoing the
// run. Texts are UTF-8.
class RunReportView : public RunUndoView {
  public:
    ~RunReportView() override = default;

    // The lines above the table; the shared problem's line is hidden when empty.
    virtual void ShowLines(const std::string& processedKeys, const std::string& summary,
                           const std::string& sharedProblemLine) = 0;
    // Every key's row, in the report's order; the rows shown follow.
    virtual void ShowRows(const std::vector<RunReportRow>& rows) = 0;
    // Which rows are shown, one flag per row.
    virtual void ShowRowsShown(const std::vector<bool>& shown) = 0;
    virtual void EnableSelectKeys(bool enabled) = 0;
    virtual void EnableSelectNotProcessed(bool enabled) = 0;
    virtual void EnableCheckIndex(bool enabled) = 0;
    virtual void EnableUndo(bool enabled) = 0;

    virtual void PutOnClipboard(const std::string& text) = 0;
    // The file the user chose, in the file system's encoding; nothing when
    // the user cancelled.
    virtual std::optional<std::string> AskForCsvFile(const CsvFileQuestion& question) = 0;
    // A warning under the program's title.
    virtual void ShowWarning(const std::string& message) = 0;
};

// What the report hands to the rest of the program; an empty one does nothing.
struct RunReportLinks {
    // Select these grid columns (counted from 1, ascending), so that Process
    // takes only them.
    std::function<void(const std::vector<int>&)> selectKeys;
    // Show the program the run wrote for this key.
    std::function<void(const KeyResult&)> openProgram;
    // Check the INDICE.Prg at this path.
    std::function<void(const std::string&)> checkIndex;
};

class RunReportModel {
  public:
    // CSV files are written to `fileSystem`; Save as CSV starts in
    // `homeFolder` when the run's destination folder is not there.
    RunReportModel(FileSystem& fileSystem, std::string homeFolder, RunReportLinks links = {});

    // The window that shows the model from now on, at once; may be null
    // (nothing is shown).
    void SetView(RunReportView* view);
    // What undoes a kept run; none: the run cannot be undone from here.
    void SetUndo(const RunUndoModel* undo) { undo_ = undo; }

    // A new report; `csvFolder` is where Save as CSV starts (the run's
    // destination folder). The filter and the current row stay as they are.
    void ShowReport(const RunReport& report, std::string csvFolder);

    const RunReport& Report() const { return report_; }
    // The first line: which keys the run took.
    const std::string& ProcessedKeys() const { return processedKeys_; }
    const std::string& Summary() const { return summary_; }
    // The problem every key met, said once; empty when the keys differ.
    const std::string& SharedProblem() const { return sharedProblem_; }
    const std::vector<RunReportRow>& Rows() const { return rows_; }
    bool ProblemsOnly() const { return problemsOnly_; }
    bool RowShown(std::size_t row) const;
    bool CanSelectKeys() const { return !ProblemColumns().empty(); }
    bool CanCheckIndex() const { return !DamagedIndexOf(currentRow_).empty(); }
    // The run was kept for undo and has not been undone.
    bool CanUndo() const {
        return undo_ != nullptr && !report_.journalId.empty() && undone_.empty();
    }
    // How the run was undone (RunUndoModel::UndoneText), which the summary
    // line ends with; empty while it is not.
    const std::string& Undone() const { return undone_; }
    // Looks again whether the run has been undone meanwhile (from the
    // grid's menu), before the window shows again.
    void Refresh();

    // The grid columns of the keys that did not end well, ascending.
    std::vector<int> ProblemColumns() const;
    // The damaged INDICE.Prg the key of `row` met; empty when it met none
    // or there is no such row.
    std::string DamagedIndexOf(int row) const;
    // The file name Save as CSV offers: report.csv in the destination
    // folder, or in the home folder when that folder is not there.
    std::string SuggestedCsvPath() const;
    // The rows shown as CSV, written whole to `path`.
    Outcome SaveCsv(const std::string& path) const;

    // What the user does.
    void SetProblemsOnly(bool only);
    void SetCurrentRow(int row);  // -1: none
    void SelectKeys() const;
    // The keys a stopped run did not reach, for the next Process.
    void SelectNotProcessed() const;
    void CheckIndexOfCurrentRow() const;
    void OpenRow(int row) const;
    void CopyAsText() const;
    // Asks, undoes the run and tells what became of it; once undone, the
    // button is disabled.
    void UndoRun();
    // Asks for a file (".csv" added when the name lacks it), writes the rows
    // shown and warns when that fails.
    void SaveAsCsv() const;

  private:
    void ShowAll() const;  // the report, its filter and what its buttons can do
    void ShowFilter() const;
    void LookForUndo();

    FileSystem& fileSystem_;
    std::string homeFolder_;
    RunReportLinks links_;
    RunReportView* view_ = nullptr;
    RunReport report_;
    std::string csvFolder_;
    std::string processedKeys_;
    std::string summary_;
    std::string sharedProblem_;
    std::vector<RunReportRow> rows_;
    bool problemsOnly_ = false;
    int currentRow_ = -1;
    const RunUndoModel* undo_ = nullptr;
    std::string undone_;
};

// `path` with ".csv" added unless it already ends so, in any case.
std::string WithCsvExtension(std::string path);

}  // namespace bladeway
