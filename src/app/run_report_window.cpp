#include "app/run_report_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/index_check_window.h"
#include "core/run/run_report_text.h"
#include "core/storage/file_system.h"
#include "qt_views/design_controls.h"

namespace bladeway {
namespace {

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The program file written, or why not; the key's file problems after it,
// unless every key shares them (then they are said once above the rows).
QString ProgramFileText(const KeyResult& key, bool problemsShared) {
    std::string text =
        key.programWritten ? ShowPath(key.outputPath) : ProgramOutcomeText(key, /*dryRun=*/false);
    if (!key.errors.empty() && !problemsShared)
        text += (text.empty() ? "" : "; ") + ProblemsText(key);
    return Text(text);
}

QString StatusCellText(const KeyResult& key) {
    const std::string status = StatusText(key);
    const std::string meaning = StatusMeaning(key);
    return Text(meaning.empty() ? status : status + " - " + meaning);
}

QLabel* AddLine(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

}  // namespace

RunReportWindow::RunReportWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("RunReport"));
    setWindowTitle(ProgramTitle("Run Report"));
    processedKeys_ = AddLine(this, "ProcessedKeys");
    summary_ = AddLine(this, "Summary");
    shared_ = AddLine(this, "SharedProblem");
    problemsOnly_ = new QCheckBox(QStringLiteral("Only keys with problems"), this);
    problemsOnly_->setObjectName(QStringLiteral("ProblemsOnly"));
    table_ = new QTableWidget(0, kColumnCount, this);
    table_->setObjectName(QStringLiteral("Keys"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Column"), QStringLiteral("Program"),
                                       QStringLiteral("Status"), QStringLiteral("Index"),
                                       QStringLiteral("From earlier keys"),
                                       QStringLiteral("Program file")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->setVisible(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setStretchLastSection(true);

    selectKeys_ = AddButton(this, "SelectKeys", QStringLiteral("Select these keys"));
    selectKeys_->setToolTip(QStringLiteral(
        "Selects the keys with problems in the grid, so that Process takes only them"));
    checkIndex_ = AddButton(this, "CheckIndex", QStringLiteral("Check index\u2026"));
    checkIndex_->setToolTip(
        QStringLiteral("Shows what is wrong with the damaged INDICE.Prg of the selected key"));
    checkIndex_->setEnabled(false);
    QPushButton* copy = AddButton(this, "CopyReport", QStringLiteral("Copy as Text"));
    QPushButton* save = AddButton(this, "SaveCsv", QStringLiteral("Save as CSV..."));
    QPushButton* closeButton = AddButton(this, "CloseReport", QStringLiteral("Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(problemsOnly_);
    buttons->addWidget(selectKeys_);
    buttons->addWidget(checkIndex_);
    buttons->addStretch();
    buttons->addWidget(copy);
    buttons->addWidget(save);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(processedKeys_);
    layout->addWidget(summary_);
    layout->addWidget(shared_);
    layout->addWidget(table_);
    layout->addLayout(buttons);
    resize(1000, 420);

    connect(problemsOnly_, &QCheckBox::toggled, this, &RunReportWindow::ApplyFilter);
    connect(selectKeys_, &QPushButton::clicked, this,
            [this] { emit KeysToSelect(ProblemColumns()); });
    connect(checkIndex_, &QPushButton::clicked, this, &RunReportWindow::CheckIndexOfCurrentRow);
    connect(table_, &QTableWidget::currentCellChanged, this,
            [this](int row) { checkIndex_->setEnabled(!DamagedIndexOf(row).empty()); });
    connect(copy, &QPushButton::clicked, this, &RunReportWindow::CopyAsText);
    connect(save, &QPushButton::clicked, this, &RunReportWindow::AskForCsvFile);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        emit ProgramRequested(report_.keys.at(static_cast<std::size_t>(row)));
    });
}

void RunReportWindow::ShowReport(const RunReport& report, const QString& csvFolder) {
    report_ = report;
    csvFolder_ = csvFolder;
    processedKeys_->setText(Text(ProcessedKeysLine(report_)));
    summary_->setText(Text(SummaryLine(report_, /*dryRun=*/false)));
    sharedProblem_ = SharedProblemText(report_);
    shared_->setText(Text("Every key: " + sharedProblem_));
    shared_->setVisible(!sharedProblem_.empty());
    selectKeys_->setEnabled(!ProblemColumns().empty());
    FillRows();
    ApplyFilter();
    checkIndex_->setEnabled(!DamagedIndexOf(table_->currentRow()).empty());
}

std::string RunReportWindow::DamagedIndexOf(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= report_.keys.size())
        return {};
    const IndexStepResult& index = report_.keys[static_cast<std::size_t>(row)].index;
    const bool damaged = index.outcome == IndexOutcome::kTemplateIndexDamaged ||
                         index.outcome == IndexOutcome::kDestinationIndexDamaged;
    return damaged ? index.path : std::string();
}

void RunReportWindow::CheckIndexOfCurrentRow() {
    const std::string path = DamagedIndexOf(table_->currentRow());
    if (path.empty())
        return;
    if (checkWindow_ == nullptr)
        checkWindow_ = new IndexCheckWindow(this);
    checkWindow_->Check(path);
    checkWindow_->show();
    checkWindow_->raise();
}

QString RunReportWindow::ProcessedKeys() const {
    return processedKeys_->text();
}

QString RunReportWindow::Summary() const {
    return summary_->text();
}

QString RunReportWindow::SharedProblem() const {
    return Text(sharedProblem_);
}

std::vector<int> RunReportWindow::ProblemColumns() const {
    std::vector<int> columns;
    for (const KeyResult& key : report_.keys) {
        if (!EndedWell(key))
            columns.push_back(key.column);
    }
    return columns;
}

void RunReportWindow::FillRows() {
    table_->setRowCount(static_cast<int>(report_.keys.size()));
    const QColor problemColour(0xfb, 0xe3, 0xe0);
    const bool shared = !sharedProblem_.empty();
    for (int row = 0; row < table_->rowCount(); ++row) {
        const KeyResult& key = report_.keys[static_cast<std::size_t>(row)];
        const bool problem = !EndedWell(key);
        const QString cells[kColumnCount] = {
            (problem ? QStringLiteral("! ") : QString()) + Text(ColumnText(key)),
            Text(ProgramNameText(key)),
            StatusCellText(key),
            Text(IndexOutcomeText(key, /*dryRun=*/false)),
            Text(CarriedOverText(key)),
            ProgramFileText(key, shared)};
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
    return Disk().ReplaceFile(QFile::encodeName(path).toStdString(),
                              ReportCsv(report_, problemsOnly_->isChecked()));
}

QString RunReportWindow::SuggestedCsvPath() const {
    const QString folder =
        csvFolder_.isEmpty() || !QFileInfo(csvFolder_).isDir() ? QDir::homePath() : csvFolder_;
    return QDir(folder).filePath(QStringLiteral("report.csv"));
}

void RunReportWindow::AskForCsvFile() {
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Run Report"),
                                                SuggestedCsvPath(), QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        path += QStringLiteral(".csv");
    if (const Outcome saved = SaveCsv(path); !saved) {
        QMessageBox::warning(this, ProgramTitle(), Text(saved.error()));
    }
}

}  // namespace bladeway
