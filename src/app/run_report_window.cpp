#include "app/run_report_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QColor>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/platform/file_system.h"
#include "core/run/run_report_text.h"
#include "dialogs/design_controls.h"

namespace bladeway {
namespace {

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The program file written, or why not; the key's file problems after it.
QString ProgramFileText(const KeyResult& key) {
    std::string text =
        key.programWritten ? ShowPath(key.outputPath) : ProgramOutcomeText(key, /*dryRun=*/false);
    if (!key.errors.empty())
        text += (text.empty() ? "" : "; ") + ProblemsText(key);
    return Text(text);
}

QString StatusCellText(const KeyResult& key) {
    const std::string status = StatusText(key);
    const std::string meaning = StatusMeaning(status);
    return Text(meaning.empty() ? status : status + " - " + meaning);
}

}  // namespace

RunReportWindow::RunReportWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("RunReport"));
    setWindowTitle(QStringLiteral("Bladeway - Run Report"));
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("Summary"));
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    problemsOnly_ = new QCheckBox(QStringLiteral("Only keys with problems"), this);
    problemsOnly_->setObjectName(QStringLiteral("ProblemsOnly"));
    table_ = new QTableWidget(0, kColumnCount, this);
    table_->setObjectName(QStringLiteral("Keys"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Column"), QStringLiteral("Program"),
                                       QStringLiteral("Status"), QStringLiteral("Program file"),
                                       QStringLiteral("Index file")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);

    QPushButton* copy = AddButton(this, "CopyReport", QStringLiteral("Copy as Text"));
    QPushButton* save = AddButton(this, "SaveCsv", QStringLiteral("Save as CSV..."));
    QPushButton* closeButton = AddButton(this, "CloseReport", QStringLiteral("Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(problemsOnly_);
    buttons->addStretch();
    buttons->addWidget(copy);
    buttons->addWidget(save);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_);
    layout->addLayout(buttons);
    resize(760, 420);

    connect(problemsOnly_, &QCheckBox::toggled, this, &RunReportWindow::ApplyFilter);
    connect(copy, &QPushButton::clicked, this, &RunReportWindow::CopyAsText);
    connect(save, &QPushButton::clicked, this, &RunReportWindow::AskForCsvFile);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        emit ProgramRequested(report_.keys.at(static_cast<std::size_t>(row)));
    });
}

void RunReportWindow::ShowReport(const RunReport& report) {
    report_ = report;
    summary_->setText(Text(SummaryLine(report_, /*dryRun=*/false)));
    FillRows();
    ApplyFilter();
}

QString RunReportWindow::Summary() const {
    return summary_->text();
}

void RunReportWindow::FillRows() {
    table_->setRowCount(static_cast<int>(report_.keys.size()));
    const QColor problemColour(0xfb, 0xe3, 0xe0);
    for (int row = 0; row < table_->rowCount(); ++row) {
        const KeyResult& key = report_.keys[static_cast<std::size_t>(row)];
        const bool problem = !EndedWell(key);
        const QString cells[kColumnCount] = {
            (problem ? QStringLiteral("! ") : QString()) + QString::number(key.column),
            Text(ProgramNameText(key)), StatusCellText(key), ProgramFileText(key),
            Text(ShowPath(key.indexPath))};
        for (int column = 0; column < kColumnCount; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (problem)
                item->setBackground(problemColour);
            table_->setItem(row, column, item);
        }
    }
    table_->resizeColumnsToContents();
}

void RunReportWindow::ApplyFilter() {
    const bool only = problemsOnly_->isChecked();
    for (int row = 0; row < table_->rowCount(); ++row)
        table_->setRowHidden(row, only && EndedWell(report_.keys[static_cast<std::size_t>(row)]));
}

void RunReportWindow::CopyAsText() const {
    QApplication::clipboard()->setText(Text(PlainReportText(report_, /*dryRun=*/false)));
}

Outcome RunReportWindow::SaveCsv(const QString& path) const {
    return Disk().ReplaceFile(QFile::encodeName(path).toStdString(), ReportCsv(report_));
}

void RunReportWindow::AskForCsvFile() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Run Report"),
                                                      QString(), QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    if (const Outcome saved = SaveCsv(path); !saved) {
        QMessageBox::warning(this, QStringLiteral("Bladeway"), Text(saved.error()));
    }
}

}  // namespace bladeway
