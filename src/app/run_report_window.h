#pragma once
// The report of the last run (RunReport), a window of its own that does not
// block the main window: which keys were taken, the summary line in the
// command-line tool's words, a cause every key shares said once, then one row
// per processed key: its program, status, index outcome and the values it
// took from earlier keys. Rows with problems are marked and can be shown
// alone or selected in the grid ("Select these keys"); a double-click asks
// for that key's program; the report is copied as text and saved as CSV.
#include <string>
#include <vector>

#include <QString>
#include <QWidget>

#include "core/run/processing_run.h"
#include "core/text/expected.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace bladeway {

class IndexCheckWindow;

class RunReportWindow final : public QWidget {
    Q_OBJECT

  public:
    // The program file, a long path, comes last.
    enum Column {
        kColumn,
        kProgram,
        kStatus,
        kIndex,
        kFromEarlierKeys,
        kProgramFile,
        kColumnCount
    };

    explicit RunReportWindow(QWidget* parent);

    // `csvFolder` is where Save as CSV starts (the run's destination folder).
    void ShowReport(const RunReport& report, const QString& csvFolder = {});
    const RunReport& Report() const { return report_; }

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
    std::vector<int> ProblemColumns() const;
    // The damaged INDICE.Prg the key of `row` met; empty when it met none.
    std::string DamagedIndexOf(int row) const;
    // Shows what is wrong with the damaged index of the current row.
    void CheckIndexOfCurrentRow();
    // The window that shows an index check, made on first use.
    IndexCheckWindow* CheckWindow() { return checkWindow_; }

  signals:
    // The user asked to see the program written for a key (by its row).
    void ProgramRequested(const bladeway::KeyResult& key);
    // The user asked to select these grid columns, to process them again.
    void KeysToSelect(const std::vector<int>& columns);

  private:
    void FillRows();
    void ApplyFilter();
    void AskForCsvFile();

    RunReport report_;
    QString csvFolder_;
    std::string sharedProblem_;
    QLabel* processedKeys_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* shared_ = nullptr;
    QPushButton* selectKeys_ = nullptr;
    QPushButton* checkIndex_ = nullptr;
    IndexCheckWindow* checkWindow_ = nullptr;
    QCheckBox* problemsOnly_ = nullptr;
    QTableWidget* table_ = nullptr;
};

}  // namespace bladeway
