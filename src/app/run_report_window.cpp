#include "app/run_report_window.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/keyboard_use.h"
#include "app/unbroken_text_view.h"
#include "app/undo_messages.h"
#include "app/view_text.h"
#include "core/presentation/table_metrics.h"
#include "core/presentation/twips.h"
#include "core/storage/file_system.h"
#include "qt_views/design_controls.h"
#include "qt_views/window_placement.h"

namespace bladeway {
namespace {

QLabel* AddLine(QWidget* parent, const ControlText& control) {
    auto* label = Named(new QLabel(parent), control);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

// A column shows at most about this many characters; the rest is in the
// cell's tooltip.

std::string FileName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString ShownFileName(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace

RunReportWindow::RunReportWindow(QWidget* parent, RunReportModel& model)
    : QWidget(parent, Qt::Window), model_(model) {
    setObjectName(ViewText(kRunReportWindow.objectName));
    setWindowTitle(ProgramTitle(kRunReportWindow.caption));
    processedKeys_ = AddLine(this, kRunReportLines[0]);
    summary_ = AddLine(this, kRunReportLines[1]);
    shared_ = AddLine(this, kRunReportLines[2]);
    problemsOnly_ = Named(new QCheckBox(ViewText(kRunReportProblemsOnly.caption), this),
                          kRunReportProblemsOnly);
    table_ = Named(new QTableWidget(0, kColumnCount, this), kRunReportTable);
    QStringList captions;
    for (const std::string_view caption : kRunReportColumnCaptions)
        captions.append(ViewText(caption));
    table_->setHorizontalHeaderLabels(captions);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->setVisible(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() +
                                                    kTableRowPadding);
    table_->horizontalHeader()->setStretchLastSection(true);

    selectKeys_ = AddButtonFor(this, kRunReportSelectKeys);
    selectNotProcessed_ = AddButtonFor(this, kRunReportSelectNotProcessed);
    selectNotProcessed_->setVisible(false);
    checkIndex_ = AddButtonFor(this, kRunReportCheckIndex);
    checkIndex_->setEnabled(false);
    undo_ = AddButtonFor(this, kRunReportUndo);
    undo_->setEnabled(false);
    QPushButton* copy = AddButtonFor(this, kRunReportCopy);
    QPushButton* save = AddButtonFor(this, kRunReportSaveCsv);
    QPushButton* closeButton = AddButtonFor(this, kRunReportClose);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(problemsOnly_);
    buttons->addWidget(selectKeys_);
    buttons->addWidget(selectNotProcessed_);
    buttons->addWidget(checkIndex_);
    buttons->addWidget(undo_);
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
    resize(static_cast<int>(TwipsToPixels(kRunReportClientSize.width)),
           static_cast<int>(TwipsToPixels(kRunReportClientSize.height)));

    connect(problemsOnly_, &QCheckBox::toggled, this,
            [this](bool only) { model_.SetProblemsOnly(only); });
    connect(selectKeys_, &QPushButton::clicked, this, [this] { model_.SelectKeys(); });
    connect(selectNotProcessed_, &QPushButton::clicked, this,
            [this] { model_.SelectNotProcessed(); });
    connect(checkIndex_, &QPushButton::clicked, this, [this] { model_.CheckIndexOfCurrentRow(); });
    connect(undo_, &QPushButton::clicked, this, [this] { model_.UndoRun(); });
    connect(table_, &QTableWidget::currentCellChanged, this,
            [this](int row) { model_.SetCurrentRow(row); });
    connect(copy, &QPushButton::clicked, this, [this] { model_.CopyAsText(); });
    connect(save, &QPushButton::clicked, this, [this] { model_.SaveAsCsv(); });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(table_, &QTableWidget::cellDoubleClicked, this,
            [this](int row) { model_.OpenRow(row); });
    // By keyboard: Tab reaches every control, Enter on a row opens it as a
    // double click does, Return presses the focused button, Escape closes.
    TabLeavesTable(*table_);
    for (QPushButton* button : findChildren<QPushButton*>())
        PressOnReturn(*button);
    auto* openRow = new QShortcut(QKeySequence(Qt::Key_Return), table_);
    openRow->setContext(Qt::WidgetShortcut);
    connect(openRow, &QShortcut::activated, this, [this] {
        if (table_->currentRow() >= 0)
            model_.OpenRow(table_->currentRow());
    });
    auto* openRowEnter = new QShortcut(QKeySequence(Qt::Key_Enter), table_);
    openRowEnter->setContext(Qt::WidgetShortcut);
    connect(openRowEnter, &QShortcut::activated, openRow, &QShortcut::activated);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    model_.SetView(this);
}

// Beside the main window rather than over it, where the screen has room.
void RunReportWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous() || placed_ || parentWidget() == nullptr)
        return;
    placed_ = true;
    const QWidget* main = parentWidget()->window();
    const QScreen* screen = main->screen();
    if (screen == nullptr)
        return;
    const QMargins frame = KnownFrameMargins(*this);
    const QRect outer = geometry().marginsAdded(frame);
    // Never narrower: its row of buttons needs the width.
    const PixelRect place =
        BesidePlace(PixelsOf(main->frameGeometry()), outer.width(), outer.height(), outer.width(),
                    outer.height() / 2, PixelsOf(screen->availableGeometry()));
    setGeometry(RectOf(place).marginsRemoved(frame));
}

QString RunReportWindow::ProcessedKeys() const {
    return processedKeys_->text();
}

void RunReportWindow::ShowLines(const std::string& processedKeys, const std::string& summary,
                                const std::string& sharedProblemLine) {
    processedKeys_->setText(ViewText(processedKeys));
    ShowUnbroken(*summary_, summary);
    ShowUnbroken(*shared_, sharedProblemLine);
    shared_->setVisible(!sharedProblemLine.empty());
}

void RunReportWindow::ShowRows(const std::vector<RunReportRow>& rows) {
    table_->setRowCount(static_cast<int>(rows.size()));
    const QColor problemTint = ViewColour(kProblemRowTint);
    for (int row = 0; row < table_->rowCount(); ++row) {
        const RunReportRow& shown = rows[static_cast<std::size_t>(row)];
        for (int column = 0; column < kColumnCount; ++column) {
            auto* item =
                new QTableWidgetItem(ViewText(shown.cells[static_cast<std::size_t>(column)]));
            if (shown.problem)
                item->setBackground(problemTint);
            table_->setItem(row, column, item);
        }
    }
    table_->resizeColumnsToContents();
    const int widest = table_->fontMetrics().averageCharWidth() * kRunReportWidestColumnCharacters;
    for (int column = 0; column < kColumnCount; ++column)
        table_->setColumnWidth(column, std::min(table_->columnWidth(column), widest));
    const int padding = 2 * table_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
    for (int row = 0; row < table_->rowCount(); ++row) {
        for (int column = 0; column < kColumnCount; ++column) {
            QTableWidgetItem* item = table_->item(row, column);
            const bool cut = table_->fontMetrics().horizontalAdvance(item->text()) + padding >
                             table_->columnWidth(column);
            item->setToolTip(cut ? item->text() : QString());
        }
    }
}

void RunReportWindow::ShowRowsShown(const std::vector<bool>& shown) {
    for (int row = 0; row < table_->rowCount(); ++row)
        table_->setRowHidden(row, !shown.at(static_cast<std::size_t>(row)));
}

void RunReportWindow::EnableSelectKeys(bool enabled) {
    selectKeys_->setEnabled(enabled);
}

// Shown only after a run that stopped before its last key.
void RunReportWindow::EnableSelectNotProcessed(bool enabled) {
    selectNotProcessed_->setVisible(enabled);
}

void RunReportWindow::EnableCheckIndex(bool enabled) {
    checkIndex_->setEnabled(enabled);
}

void RunReportWindow::PutOnClipboard(const std::string& text) {
    QApplication::clipboard()->setText(ViewText(text));
}

std::optional<std::string> RunReportWindow::AskForCsvFile(const CsvFileQuestion& question) {
    const QString path = QFileDialog::getSaveFileName(
        this, ViewText(question.caption), ShownFileName(question.suggested),
        ViewText(question.filterName) + QStringLiteral(" (") + ViewText(question.pattern) +
            QStringLiteral(")"));
    if (path.isEmpty())
        return std::nullopt;
    return FileName(path);
}

void RunReportWindow::EnableUndo(bool enabled) {
    undo_->setEnabled(enabled);
}

bool RunReportWindow::ConfirmUndo(const std::string& question) {
    return AskToUndo(this, question);
}

void RunReportWindow::ShowUndoOutcome(const UndoOutcome& outcome) {
    TellUndoOutcome(this, outcome);
}

void RunReportWindow::ShowWarning(const std::string& message) {
    QMessageBox::warning(this, ProgramTitle(), ViewText(message));
}

}  // namespace bladeway
