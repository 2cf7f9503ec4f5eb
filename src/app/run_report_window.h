#pragma once
// The report of the last run (RunReport), a window of its own that does not
// block the main window: the summary line in the command-line tool's words,
// then one row per processed key. Rows with problems are marked and can be
// shown alone; a double-click asks for that key's program; the report is
// copied as text and saved as CSV.
#include <QString>
#include <QWidget>

#include "core/platform/expected.h"
#include "core/run/processing_run.h"

class QCheckBox;
class QLabel;
class QTableWidget;

namespace bladeway {

class RunReportWindow final : public QWidget {
    Q_OBJECT

  public:
    enum Column { kColumn, kProgram, kStatus, kProgramFile, kIndexFile, kColumnCount };

    explicit RunReportWindow(QWidget* parent);

    void ShowReport(const RunReport& report);
    const RunReport& Report() const { return report_; }

    QString Summary() const;
    QTableWidget& Table() { return *table_; }
    QCheckBox& ProblemsOnly() { return *problemsOnly_; }

    // The report as the command-line tool prints it, to the clipboard.
    void CopyAsText() const;
    // The report as CSV, written whole to `path`.
    Outcome SaveCsv(const QString& path) const;

  signals:
    // The user asked to see the program written for a key (by its row).
    void ProgramRequested(const bladeway::KeyResult& key);

  private:
    void FillRows();
    void ApplyFilter();
    void AskForCsvFile();

    RunReport report_;
    QLabel* summary_ = nullptr;
    QCheckBox* problemsOnly_ = nullptr;
    QTableWidget* table_ = nullptr;
};

}  // namespace bladeway
