// The Process button: the processing run over the keys in the grid, on a
// worker thread while the window takes no input, and the report after it.
#include <functional>
#include <memory>
#include <string_view>

#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QTableView>

#include "app/background_run.h"
#include "app/grid_selection.h"
#include "app/key_grid_model.h"
#include "app/main_window.h"
#include "app/run_report_window.h"
#include "core/run/processing_run.h"
#include "core/text/code_page.h"

namespace bladeway {

void MainWindow::CreateRun() {
    const auto showMessage = [this](QWidget& above, std::string_view message,
                                    std::function<void(bool stop)> answered) -> QWidget* {
        // The message box shows the normal pointer over it.
        QGuiApplication::restoreOverrideCursor();
        const auto answer = [answered = std::move(answered)](bool stop) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            answered(stop);
        };
        const QString text = QString::fromStdString(DecodeWindows1252(message));
        if (environment_.showRunMessage)
            return environment_.showRunMessage(&above, text, answer);
        environment_.showMessage(&above, text);
        answer(false);
        return nullptr;
    };
    run_ = std::make_unique<BackgroundRun>(*this, showMessage);
    connect(run_.get(), &BackgroundRun::Finished, this, &MainWindow::EndRun);
}

bool MainWindow::RunGoingOn() const {
    return run_ && run_->IsRunning();
}

BackgroundRun& MainWindow::Run() {
    return *run_;
}

RunEnvironment MainWindow::RunSettings() {
    return RunEnvironment{
        .preferences = preferences_,
        .flatTemplateMode = flatTemplateMode_,
        .fileSystem = *environment_.fileSystem,
        .today = environment_.today,
        .showMessage = {},
    };
}

void MainWindow::RunProcess() {
    if (RunGoingOn())
        return;
    // The busy pointer from here until the run has ended.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const Sheet& sheet = gridModel_->GetSheet();
    const GridSelection selection(*gridView_->selectionModel());
    const RunEnvironment environment = RunSettings();
    run_->Start(sheet, std::make_unique<SelectionSnapshot>(selection, sheet.ColumnCount()),
                environment);
}

void MainWindow::EndRun(const RunReport& report) {
    QGuiApplication::restoreOverrideCursor();
    if (closeAfterRun_) {
        // Closed while the run went on: the window closes now as it would
        // have then, with no report.
        emit RunFinished();
        close();
        return;
    }
    if (reportWindow_ == nullptr) {
        reportWindow_ = new RunReportWindow(this);
        connect(reportWindow_, &RunReportWindow::ProgramRequested, this,
                &MainWindow::ShowWrittenProgram);
        connect(reportWindow_, &RunReportWindow::KeysToSelect, this, &MainWindow::SelectKeyColumns);
    }
    reportWindow_->ShowReport(report, QString::fromStdString(preferences_.destinationFolder));
    reportWindow_->show();
    reportWindow_->raise();
    emit RunFinished();
}

// Whole columns, so that their row-1 cells are selected and Process takes
// just these keys; neighbouring columns make one range each.
void MainWindow::SelectKeyColumns(const std::vector<int>& columns) {
    if (RunGoingOn() || columns.empty())
        return;
    const int lastRow = gridModel_->rowCount() - 1;
    QItemSelection selection;
    for (std::size_t i = 0; i < columns.size();) {
        std::size_t end = i + 1;
        while (end < columns.size() && columns[end] == columns[end - 1] + 1)
            ++end;
        selection.select(gridModel_->index(0, columns[i] - 1),
                         gridModel_->index(lastRow, columns[end - 1] - 1));
        i = end;
    }
    QItemSelectionModel& model = *gridView_->selectionModel();
    model.setCurrentIndex(gridModel_->index(0, columns.front() - 1), QItemSelectionModel::NoUpdate);
    model.select(selection, QItemSelectionModel::ClearAndSelect);
    gridView_->scrollTo(gridModel_->index(0, columns.front() - 1));
    activateWindow();
    raise();
}

}  // namespace bladeway
