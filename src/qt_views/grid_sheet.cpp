#include "qt_views/grid_sheet.h"

#include <QHeaderView>

namespace bladeway {
namespace {

std::string Utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<std::string> HeaderText(const QTableWidgetItem* item) {
    if (item == nullptr)
        return std::nullopt;
    return Utf8(item->text());
}

// A header text, or the grid's default heading when there is none.
void SetHeader(QTableWidget& grid, Qt::Orientation orientation, int section,
               const std::optional<std::string>& text) {
    if (orientation == Qt::Vertical) {
        if (text) {
            grid.setVerticalHeaderItem(section, new QTableWidgetItem(FromUtf8(*text)));
        } else {
            delete grid.takeVerticalHeaderItem(section);
        }
    } else {
        if (text) {
            grid.setHorizontalHeaderItem(section, new QTableWidgetItem(FromUtf8(*text)));
        } else {
            delete grid.takeHorizontalHeaderItem(section);
        }
    }
}

}  // namespace

SavedSheet CaptureSheet(const QTableWidget& grid) {
    SavedSheet sheet;
    sheet.rowCount = grid.rowCount();
    sheet.columnCount = grid.columnCount();
    for (int row = 0; row < sheet.rowCount; ++row) {
        sheet.rowHeaders.push_back(HeaderText(grid.verticalHeaderItem(row)));
        sheet.rowHeights.push_back(grid.rowHeight(row));
    }
    for (int column = 0; column < sheet.columnCount; ++column) {
        sheet.columnHeaders.push_back(HeaderText(grid.horizontalHeaderItem(column)));
        sheet.columnWidths.push_back(grid.columnWidth(column));
    }
    for (int row = 0; row < sheet.rowCount; ++row) {
        for (int column = 0; column < sheet.columnCount; ++column) {
            const QTableWidgetItem* item = grid.item(row, column);
            if (item != nullptr && !item->text().isEmpty()) {
                sheet.cells.emplace(std::pair(row, column), Utf8(item->text()));
            }
        }
    }
    return sheet;
}

void ApplySheet(QTableWidget& grid, const SavedSheet& sheet) {
    grid.clearContents();
    grid.setRowCount(sheet.rowCount);
    grid.setColumnCount(sheet.columnCount);
    for (int row = 0; row < sheet.rowCount; ++row) {
        const auto index = static_cast<std::size_t>(row);
        SetHeader(grid, Qt::Vertical, row, sheet.rowHeaders[index]);
        grid.setRowHeight(row, sheet.rowHeights[index]);
    }
    for (int column = 0; column < sheet.columnCount; ++column) {
        const auto index = static_cast<std::size_t>(column);
        SetHeader(grid, Qt::Horizontal, column, sheet.columnHeaders[index]);
        grid.setColumnWidth(column, sheet.columnWidths[index]);
    }
    for (const auto& [place, text] : sheet.cells) {
        grid.setItem(place.first, place.second, new QTableWidgetItem(FromUtf8(text)));
    }
}

}  // namespace bladeway
