#pragma once
// The run report window (RunReport): a view over RunReportModel
// (core/presentation/run_report_model.h), which holds the report, its texts,
// the filter and what each button does. The window shows what the model
// tells it and hands the user's actions to it; it tells the main window
// through its signals which keys to select and which program to show.
#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <QWidget>

#include "core/presentation/run_report_model.h"
#include "core/run/processing_run.h"
#include "core/text/expected.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace bladeway {

class IndexCheckWindow;

class RunReportWindow final : public QWidget, private RunReportView {
    Q_OBJECT

  public:
    // The table's columns, as RunReportColumn orders them.
    enum Column {
        kColumn,
        kProgram,
        kStatus,
        kIndex,
        kFromEarlierKeys,
        kProgramFile,
        kColumnCount
    };

    // Its files (Save as CSV, the index check and its repair) go through
    // `fileSystem`, the application's.
    RunReportWindow(QWidget* parent, FileSystem& fileSystem);

    // `csvFolder` is where Save as CSV starts (the run's destination folder).
    void ShowReport(const RunReport& report, const QString& csvFolder = {});
    const RunReport& Report() const { return model_.Report(); }
    const RunReportModel& Model() const { return model_; }
    RunReportModel& Model() { return model_; }

    // The first line: which keys the run took.
    QString ProcessedKeys() const;
    QString Summary() const;
    // The problem every key met, said once; empty when the keys differ.
    QString SharedProblem() const;
    QTableWidget& Table() { return *table_; }
    QCheckBox& ProblemsOnly() { return *problemsOnly_; }

    // The report as the command-line tool prints it, to the clipboard.
    void CopyAsText() const;
    // The rows shown as CSV, written whole to `path`.
    Outcome SaveCsv(const QString& path) const;
    // The file name Save as CSV offers: report.csv in the destination folder.
    QString SuggestedCsvPath() const;
    // The grid columns of the keys that did not end well.
    std::vector<int> ProblemColumns() const { return model_.ProblemColumns(); }
    // The damaged INDICE.Prg the key of `row` met; empty when it met none.
    std::string DamagedIndexOf(int row) const { return model_.DamagedIndexOf(row); }
    // Shows what is wrong with the damaged index of the current row.
    void CheckIndexOfCurrentRow() { model_.CheckIndexOfCurrentRow(); }
    // The window that shows an index check, made on first use.
    IndexCheckWindow* CheckWindow() { return checkWindow_; }
    // What "Undo this run" undoes the run with.
    void SetUndo(const RunUndoModel* undo) { model_.SetUndo(undo); }

  signals:
    // The user asked to see the program written for a key (by its row).
    void ProgramRequested(const bladeway::KeyResult& key);
    // The user asked to select these grid columns, to process them again.
    void KeysToSelect(const std::vector<int>& columns);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
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
    RunReportModel model_;
    bool placed_ = false;  // beside the main window, on the first showing
    QLabel* processedKeys_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* shared_ = nullptr;
    QPushButton* selectKeys_ = nullptr;
    QPushButton* selectNotProcessed_ = nullptr;
    QPushButton* checkIndex_ = nullptr;
    QPushButton* undo_ = nullptr;
    IndexCheckWindow* checkWindow_ = nullptr;
    QCheckBox* problemsOnly_ = nullptr;
    QTableWidget* table_ = nullptr;
};

}  // namespace bladeway
