#include "core/presentation/run_report_model.h"

#include <algorithm>
#include <utility>

#include "core/os/list_separator.h"
#include "core/os/paths.h"
#include "core/run/run_report_text.h"

namespace bladeway {
namespace {

constexpr std::string_view kCsvExtension = ".csv";
constexpr std::string_view kCsvFileName = "report.csv";

// The program file written, or why not; the key's own file problems after
// it, but those of its index step (in the index cell) and those every key
// shares (said once above the rows).
std::string ProgramFileText(const KeyResult& key, const SharedProblems& shared) {
    std::string text =
        key.programWritten ? ShowPath(key.outputPath) : ProgramOutcomeText(key, /*dryRun=*/false);
    const std::string problems = shared.OwnProblemsText(key);
    if (!problems.empty())
        text += (text.empty() ? "" : "; ") + problems;
    return text;
}

std::string StatusCellText(const KeyResult& key) {
    const std::string status = StatusText(key);
    const std::string meaning = StatusMeaning(key);
    return meaning.empty() ? status : status + " - " + meaning;
}

RunReportRow RowOf(const KeyResult& key, const SharedProblems& shared) {
    RunReportRow row;
    row.problem = !EndedWell(key);
    row.cells = {(row.problem ? "! " : "") + ColumnText(key),
                 ProgramNameText(key),
                 StatusCellText(key),
                 shared.IndexText(key),
                 CarriedOverText(key),
                 ProgramFileText(key, shared)};
    return row;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string WithCsvExtension(std::string path) {
    bool ends = path.size() >= kCsvExtension.size();
    for (std::size_t i = 0; ends && i < kCsvExtension.size(); ++i)
        ends = AsciiLower(path[path.size() - kCsvExtension.size() + i]) == kCsvExtension[i];
    if (!ends)
        path += kCsvExtension;
    return path;
}

RunReportModel::RunReportModel(FileSystem& fileSystem, std::string homeFolder, RunReportLinks links)
    : fileSystem_(fileSystem), homeFolder_(std::move(homeFolder)), links_(std::move(links)) {}

void RunReportModel::ShowReport(const RunReport& report, std::string csvFolder) {
    report_ = report;
    undone_.clear();  // a run just ended is not undone yet
    csvFolder_ = std::move(csvFolder);
    processedKeys_ = ProcessedKeysLine(report_);
    summary_ = SummaryLine(report_, /*dryRun=*/false);
    const SharedProblems shared(report_);
    sharedProblem_ = shared.Text();
    rows_.clear();
    rows_.reserve(report_.keys.size());
    for (const KeyResult& key : report_.keys)
        rows_.push_back(RowOf(key, shared));
    ShowAll();
}

void RunReportModel::SetView(RunReportView* view) {
    view_ = view;
    ShowAll();
}

void RunReportModel::ShowAll() const {
    if (view_ == nullptr)
        return;
    view_->EnableSelectKeys(CanSelectKeys());
    view_->EnableSelectNotProcessed(!report_.notProcessed.empty());
    view_->ShowRows(rows_);
    ShowFilter();
    view_->EnableCheckIndex(CanCheckIndex());
    view_->EnableUndo(CanUndo());
}

void RunReportModel::UndoRun() {
    if (!CanUndo() || view_ == nullptr || !undo_->Undo(report_.journalId, *view_))
        return;
    Refresh();
}

void RunReportModel::LookForUndo() {
    undone_ = undo_ != nullptr && !report_.journalId.empty() ? undo_->UndoneText(report_.journalId)
                                                             : std::string();
}

void RunReportModel::Refresh() {
    LookForUndo();
    if (view_ == nullptr)
        return;
    view_->EnableUndo(CanUndo());
    ShowFilter();
}

bool RunReportModel::RowShown(std::size_t row) const {
    return row < rows_.size() && !(problemsOnly_ && !rows_[row].problem);
}

std::vector<int> RunReportModel::ProblemColumns() const {
    std::vector<int> columns;
    for (const KeyResult& key : report_.keys) {
        if (!EndedWell(key))
            columns.push_back(key.column);
    }
    return columns;
}

std::string RunReportModel::DamagedIndexOf(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= report_.keys.size())
        return {};
    const IndexStepResult& index = report_.keys[static_cast<std::size_t>(row)].index;
    const bool damaged = index.outcome == IndexOutcome::kTemplateIndexDamaged ||
                         index.outcome == IndexOutcome::kDestinationIndexDamaged;
    return damaged ? index.path : std::string();
}

std::string RunReportModel::SuggestedCsvPath() const {
    std::string folder =
        csvFolder_.empty() || !fileSystem_.FolderExists(csvFolder_) ? homeFolder_ : csvFolder_;
    // One separator that ends the folder is dropped, the root's kept, then
    // one put back: "out/" and "out" both give "out/report.csv".
    if (folder.size() > 1 && folder.back() == kPathSeparator)
        folder.pop_back();
    return JoinPathOnce(folder, kCsvFileName);
}

Outcome RunReportModel::SaveCsv(const std::string& path) const {
    return fileSystem_.ReplaceFile(path,
                                   ReportCsv(report_, problemsOnly_, native::ListSeparator()));
}

void RunReportModel::SetProblemsOnly(bool only) {
    problemsOnly_ = only;
    ShowFilter();
}

void RunReportModel::SetCurrentRow(int row) {
    currentRow_ = row;
    if (view_ != nullptr)
        view_->EnableCheckIndex(CanCheckIndex());
}

void RunReportModel::SelectKeys() const {
    const std::vector<int> columns = ProblemColumns();
    if (links_.selectKeys && !columns.empty())
        links_.selectKeys(columns);
}

void RunReportModel::SelectNotProcessed() const {
    if (links_.selectKeys && !report_.notProcessed.empty())
        links_.selectKeys(report_.notProcessed);
}

void RunReportModel::CheckIndexOfCurrentRow() const {
    const std::string path = DamagedIndexOf(currentRow_);
    if (!path.empty() && links_.checkIndex)
        links_.checkIndex(path);
}

void RunReportModel::OpenRow(int row) const {
    if (row >= 0 && static_cast<std::size_t>(row) < report_.keys.size() && links_.openProgram)
        links_.openProgram(report_.keys[static_cast<std::size_t>(row)]);
}

void RunReportModel::CopyAsText() const {
    if (view_ != nullptr)
        view_->PutOnClipboard(PlainReportText(report_, /*dryRun=*/false));
}

void RunReportModel::SaveAsCsv() const {
    if (view_ == nullptr)
        return;
    CsvFileQuestion question;
    question.suggested = SuggestedCsvPath();
    const std::optional<std::string> chosen = view_->AskForCsvFile(question);
    if (!chosen || chosen->empty())
        return;
    if (const Outcome saved = SaveCsv(WithCsvExtension(*chosen)); !saved)
        view_->ShowWarning(saved.error());
}

void RunReportModel::ShowFilter() const {
    if (view_ == nullptr)
        return;
    std::vector<bool> shown(rows_.size());
    for (std::size_t row = 0; row < rows_.size(); ++row)
        shown[row] = RowShown(row);
    // A filter that leaves the table empty says so, where the shared cause
    // would stand (a run with a shared cause has problems to show).
    std::string third = sharedProblem_.empty() ? std::string() : "Every key: " + sharedProblem_;
    if (problemsOnly_ && std::find(shown.begin(), shown.end(), true) == shown.end())
        third = std::string(kNoKeysWithProblems);
    view_->ShowLines(processedKeys_, undone_.empty() ? summary_ : summary_ + "; " + undone_, third);
    view_->ShowRowsShown(shown);
}

}  // namespace bladeway
