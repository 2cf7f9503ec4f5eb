#pragma once
// The run report window (RunReport): a view over RunReportModel
// (core/presentation/run_report_model.h), which holds the report, its texts,
// the filter and what each button does. The window shows what the model
// tells it and hands the user's actions to it.
#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <QWidget>

#include "core/presentation/run_report_model.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace bladeway {

class RunReportWindow final : public QWidget, private RunReportView {
    Q_OBJECT

  public:
    // The table's columns, as RunReportColumn orders them.
    static constexpr int kColumnCount = static_cast<int>(kRunReportColumnCount);

    // Shows `model` (the application's last report) from now on.
    RunReportWindow(QWidget* parent, RunReportModel& model);

    RunReportModel& Model() { return model_; }
    // The first line (which keys the run took), as shown.
    QString ProcessedKeys() const;
    QTableWidget& Table() { return *table_; }
    QCheckBox& ProblemsOnly() { return *problemsOnly_; }

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
    void PutOnClipboard(const std::string& text) override;
    std::optional<std::string> AskForCsvFile(const CsvFileQuestion& question) override;
    void ShowWarning(const std::string& message) override;

    RunReportModel& model_;
    bool placed_ = false;  // beside the main window, on the first showing
    QLabel* processedKeys_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* shared_ = nullptr;
    QPushButton* selectKeys_ = nullptr;
    QPushButton* selectNotProcessed_ = nullptr;
    QPushButton* checkIndex_ = nullptr;
    QPushButton* undo_ = nullptr;
    QCheckBox* problemsOnly_ = nullptr;
    QTableWidget* table_ = nullptr;
};

}  // namespace bladeway
