#include "app/line_comparison_view.h"

#include <algorithm>

#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/view_text.h"
#include "core/presentation/program_preview_model.h"
#include "core/presentation/table_metrics.h"

namespace bladeway {

static_assert(LineComparisonView::kColumnCount == kComparedColumnCount);

LineComparisonView::LineComparisonView(QWidget* parent) : QWidget(parent) {
    setObjectName(ViewText(kPreviewLineComparison.objectName));
    table_ = Named(new QTableWidget(0, kColumnCount, this), kPreviewDifferingLines);
    QStringList captions;
    for (const std::string_view caption : kComparedColumnCaptions)
        captions.append(ViewText(caption));
    table_->setHorizontalHeaderLabels(captions);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    table_->verticalHeader()->setVisible(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() +
                                                    kTableRowPadding);
    table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    QHeaderView& header = *table_->horizontalHeader();
    header.setSectionResizeMode(kBeforeNumber, QHeaderView::ResizeToContents);
    header.setSectionResizeMode(kBeforeText, QHeaderView::Stretch);
    header.setSectionResizeMode(kAfterNumber, QHeaderView::ResizeToContents);
    header.setSectionResizeMode(kAfterText, QHeaderView::Stretch);
    more_ = Named(new QLabel(this), kPreviewMoreDiffering);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table_);
    layout->addWidget(more_);
}

void LineComparisonView::ShowComparison(const LineComparison& comparison) {
    const std::vector<ComparedRowText> rows = ComparedRowTexts(comparison);
    const int rowCount = static_cast<int>(rows.size());
    table_->setRowCount(rowCount);
    const QColor before = ViewColour(kDifferingBeforeTint);
    const QColor after = ViewColour(kDifferingAfterTint);
    for (int row = 0; row < rowCount; ++row) {
        const ComparedRowText& line = rows[static_cast<std::size_t>(row)];
        for (int column = 0; column < kColumnCount; ++column) {
            auto* item =
                new QTableWidgetItem(ViewText(line.cells[static_cast<std::size_t>(column)]));
            if (line.differs)
                item->setBackground(column < kAfterNumber ? before : after);
            else
                item->setForeground(palette().color(QPalette::PlaceholderText));
            table_->setItem(row, column, item);
        }
    }
    // As tall as its rows, up to those in sight: the program below keeps the room.
    const int shownRows = std::min(rowCount, static_cast<int>(kComparedRowsInSight));
    table_->setMaximumHeight(table_->horizontalHeader()->sizeHint().height() +
                             shownRows * table_->verticalHeader()->defaultSectionSize() +
                             2 * table_->frameWidth() + 2);
    const std::string more = MoreDifferingLine(comparison);
    more_->setText(ViewText(more));
    more_->setVisible(!more.empty());
    setVisible(rowCount > 0);
}

}  // namespace bladeway
