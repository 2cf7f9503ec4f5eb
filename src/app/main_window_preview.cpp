// The grid's context menu and the program preview: what Process would write
// for the current column's key now, or a program file as a run wrote it.
#include <QAction>
#include <QStringList>
#include <QTableView>

#include "app/grid_selection.h"
#include "app/key_grid_model.h"
#include "app/main_window.h"
#include "app/program_preview_window.h"
#include "app/run_report_window.h"
#include "core/run/program_preview.h"
#include "core/run/run_report_text.h"
#include "core/text/code_page.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QString IndexEntryText(const IndexRecord& entry) {
    return Text("Index entry: " + DecodeWindows1252(TrimSpaces(entry.Name())) + " | " +
                DecodeWindows1252(TrimSpaces(entry.Description())) + " | " +
                DecodeWindows1252(entry.Date())) +
           QStringLiteral(" | X %1 Y %2 Z %3").arg(entry.X()).arg(entry.Y()).arg(entry.Z());
}

QString ComparisonText(const ProgramPreview& preview) {
    return Text(ComparisonSummary(preview));
}

PreviewContent DescribePreview(const ProgramPreview& preview) {
    const KeyResult& key = preview.key;
    PreviewContent content;
    content.heading = Text(PreviewHeadingText(key, preview.program.has_value()));
    content.comparison = ComparisonText(preview);
    if (preview.indexEntry)
        content.indexEntry = IndexEntryText(*preview.indexEntry);
    content.program = preview.program.value_or(std::string());
    if (preview.comparison)
        content.differences = *preview.comparison;
    std::string why = ProgramOutcomeText(key, /*dryRun=*/true);
    if (!key.errors.empty())
        why += "; " + ProblemsText(key);
    content.missing = Text(why);
    return content;
}

}  // namespace

void MainWindow::CreateGridMenu() {
    previewAction_ = new QAction(QStringLiteral("Preview program"), this);
    previewAction_->setObjectName(QStringLiteral("PreviewProgram"));
    previewAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(previewAction_, &QAction::triggered, this, &MainWindow::PreviewCurrentProgram);
    auto* reportAction = new QAction(QStringLiteral("Show run report"), this);
    reportAction->setObjectName(QStringLiteral("ShowRunReport"));
    connect(reportAction, &QAction::triggered, this, [this] {
        if (reportWindow_ != nullptr && !RunGoingOn()) {
            reportWindow_->show();
            reportWindow_->raise();
        }
    });
    gridView_->setContextMenuPolicy(Qt::ActionsContextMenu);
    gridView_->addAction(previewAction_);
    gridView_->addAction(reportAction);
}

ProgramPreviewWindow& MainWindow::PreviewWindow() {
    if (previewWindow_ == nullptr)
        previewWindow_ = new ProgramPreviewWindow(this);
    return *previewWindow_;
}

void MainWindow::PreviewCurrentProgram() {
    if (RunGoingOn())
        return;
    const Sheet& sheet = gridModel_->GetSheet();
    const QModelIndex current = gridView_->currentIndex();
    const int column = current.isValid() ? current.column() + 1 : 1;
    if (column > sheet.ColumnCount())
        return;
    const GridSelection selection(*gridView_->selectionModel());
    const RunEnvironment environment = RunSettings();
    const ProgramPreview preview = PreviewProgram(sheet, selection, environment, column);
    ProgramPreviewWindow& window = PreviewWindow();
    window.ShowContent(DescribePreview(preview));
    window.show();
    window.raise();
}

void MainWindow::ShowWrittenProgram(const KeyResult& key) {
    PreviewContent content;
    content.heading = Text("Column " + ColumnText(key) + ": " + ProgramNameText(key) +
                           ", as the run wrote it: " + ShowPath(key.outputPath));
    if (key.programWritten) {
        if (auto bytes = environment_.fileSystem->ReadWholeFile(key.outputPath))
            content.program = std::move(bytes.value());
        else
            content.missing = Text(ShowPath(bytes.error()));
    } else {
        content.missing = Text(ProgramOutcomeText(key, /*dryRun=*/false));
    }
    ProgramPreviewWindow& window = PreviewWindow();
    window.ShowContent(content);
    window.show();
    window.raise();
}

}  // namespace bladeway
