#include "app/line_comparison_view.h"

#include <algorithm>

#include <QColor>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/run/line_comparison.h"

namespace bladeway {
namespace {

// Enough rows to read a few runs of differences; more scroll.
constexpr int kVisibleRows = 12;

QString Number(std::size_t number) {
    return number == 0 ? QString() : QString::number(number);
}

}  // namespace

LineComparisonView::LineComparisonView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("LineComparison"));
    table_ = new QTableWidget(0, kColumnCount, this);
    table_->setObjectName(QStringLiteral("DifferingLines"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Line"), QStringLiteral("On disk"),
                                       QStringLiteral("Line"),
                                       QStringLiteral("Process would write")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    table_->verticalHeader()->setVisible(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    QHeaderView& header = *table_->horizontalHeader();
    header.setSectionResizeMode(kBeforeNumber, QHeaderView::ResizeToContents);
    header.setSectionResizeMode(kBeforeText, QHeaderView::Stretch);
    header.setSectionResizeMode(kAfterNumber, QHeaderView::ResizeToContents);
    header.setSectionResizeMode(kAfterText, QHeaderView::Stretch);
    more_ = new QLabel(this);
    more_->setObjectName(QStringLiteral("MoreDifferingLines"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table_);
    layout->addWidget(more_);
}

void LineComparisonView::ShowComparison(const LineComparison& comparison) {
    const int rows = static_cast<int>(comparison.rows.size());
    table_->setRowCount(rows);
    const QColor before(0xfb, 0xe3, 0xe0);
    const QColor after(0xe2, 0xf3, 0xdc);
    for (int row = 0; row < rows; ++row) {
        const ComparedLine& line = comparison.rows[static_cast<std::size_t>(row)];
        const QString cells[kColumnCount] = {
            Number(line.beforeNumber), QString::fromStdString(line.beforeText),
            Number(line.afterNumber), QString::fromStdString(line.afterText)};
        for (int column = 0; column < kColumnCount; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (line.differs)
                item->setBackground(column < kAfterNumber ? before : after);
            else
                item->setForeground(palette().color(QPalette::PlaceholderText));
            table_->setItem(row, column, item);
        }
    }
    // As tall as its rows, up to a few: the program below keeps the room.
    const int shownRows = std::min(rows, kVisibleRows);
    table_->setMaximumHeight(table_->horizontalHeader()->sizeHint().height() +
                             shownRows * table_->verticalHeader()->defaultSectionSize() +
                             2 * table_->frameWidth() + 2);
    more_->setText(QString::fromStdString(MoreDifferingText(comparison.notShown)));
    more_->setVisible(comparison.notShown > 0);
    setVisible(rows > 0);
}

}  // namespace bladeway
