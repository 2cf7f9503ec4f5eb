#pragma once
// The run report window (RunReport), a view over RunReportModel
// (core/presentation/run_report_model.h), which holds the report, its texts,
// the filter and what each button does. The window blocks no other: it
// shows the three lines, the table of keys (problem rows tinted, the filter
// showing only them), and the buttons.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/presentation/run_report_model.h"
#include "core/run/processing_run.h"
#include "win32/kit/laid_out_window.h"

namespace bladeway::win32 {

class RunReportWindow final : public LaidOutWindow, private RunReportView {
  public:
    // Shows `model` (the application's last report) from now on.
    RunReportWindow(HWND owner, RunReportModel& model);
    ~RunReportWindow() override;

    RunReportModel& Model() { return model_; }

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
    void PutOnClipboard(const std::string& text) override;
    std::optional<std::string> AskForCsvFile(const CsvFileQuestion& question) override;
    void ShowWarning(const std::string& message) override;

    RunReportModel& model_;
    std::vector<RunReportRow> rows_;
    std::vector<bool> shown_;
    int currentRow_ = -1;
    bool filling_ = false;  // the table is being filled: its changes are not the user's
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
