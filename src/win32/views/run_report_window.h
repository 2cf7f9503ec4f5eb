#pragma once
// The run report window (RunReport), a view over RunReportModel
// (core/presentation/run_report_model.h), which holds the report, its texts,
// the filter and what each button does. The window blocks no other: it
// shows the three lines, the table of keys (problem rows tinted, the filter
// showing only them), and the buttons; it hands the columns to select and
// the program to open back to the main window through its links.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/presentation/run_report_model.h"
#include "core/run/processing_run.h"
#include "win32/kit/laid_out_window.h"
#include "win32/views/index_check_window.h"

namespace bladeway::win32 {

// What the report asks of the main window.
struct RunReportLinks {
    // Select these grid columns (from 1, ascending).
    std::function<void(const std::vector<int>&)> selectKeys;
    // Show the program the run wrote for this key.
    std::function<void(const KeyResult&)> openProgram;
};

class RunReportWindow final : public LaidOutWindow, private RunReportView {
  public:
    // CSV files go to `fileSystem`; Save as CSV starts in `homeFolder` when
    // the run's destination folder is not there.
    RunReportWindow(HWND owner, FileSystem& fileSystem, std::string homeFolder,
                    RunReportLinks links);
    ~RunReportWindow() override;

    // A new report; `csvFolder` is where Save as CSV starts.
    void ShowReport(const RunReport& report, const std::string& csvFolder);
    const RunReportModel& Model() const { return model_; }
    RunReportModel& Model() { return model_; }
    // The window of the index check, once one was asked for.
    IndexCheckWindow* CheckWindow() { return checkWindow_.get(); }
    // What "Undo this run" undoes the run with.
    void SetUndo(const RunUndoModel* undo) { model_.SetUndo(undo); }

  private:
    void Layout(int width, int height) override;
    void OnCommand(int id, int code) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnTableNotify(NMHDR& header);
    // The report row of the table's item, or -1.
    int RowOfItem(int item) const;
    void FillTable();

    // RunReportView
    void ShowLines(const std::string& processedKeys, const std::string& summary,
                   const std::string& sharedProblemLine) override;
    void ShowRows(const std::vector<RunReportRow>& rows) override;
    void ShowRowsShown(const std::vector<bool>& shown) override;
    void EnableSelectKeys(bool enabled) override;
    void EnableSelectNotProcessed(bool enabled) override;
    void EnableCheckIndex(bool enabled) override;
    void EnableUndo(bool enabled) override;
    bool ConfirmUndo(const std::string& question) override;
    void ShowUndoOutcome(const UndoOutcome& outcome) override;
    void SelectKeysInGrid(const std::vector<int>& columns) override;
    void OpenProgram(const KeyResult& key) override;
    void OpenIndexCheck(const std::string& path) override;
    void PutOnClipboard(const std::string& text) override;
    std::optional<std::string> AskForCsvFile(const CsvFileQuestion& question) override;
    void ShowWarning(const std::string& message) override;

    FileSystem& fileSystem_;
    RunReportLinks links_;
    RunReportModel model_;
    std::vector<RunReportRow> rows_;
    std::vector<bool> shown_;
    int currentRow_ = -1;
    bool filling_ = false;  // the table is being filled: its changes are not the user's
    std::unique_ptr<IndexCheckWindow> checkWindow_;
    HWND lines_[3] = {};
    HWND table_ = nullptr;
    HWND problemsOnly_ = nullptr;
    HWND selectKeys_ = nullptr;
    HWND selectNotProcessed_ = nullptr;
    HWND checkIndex_ = nullptr;
    HWND undo_ = nullptr;
    HWND copy_ = nullptr;
    HWND saveCsv_ = nullptr;
    HWND close_ = nullptr;
};

}  // namespace bladeway::win32
