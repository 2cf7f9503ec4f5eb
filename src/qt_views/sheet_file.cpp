#include "qt_views/sheet_file.h"

#include <cmath>

#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "core/storage/file_system.h"

namespace bladeway {
namespace {

const QString kFormatName = QStringLiteral("Bladeway sheet");
constexpr int kFormatVersion = 1;

std::optional<QString> HeaderText(const QTableWidgetItem* item) {
    if (item == nullptr)
        return std::nullopt;
    return item->text();
}

// A header text, or the grid's default heading when there is none.
void SetHeader(QTableWidget& grid, Qt::Orientation orientation, int section,
               const std::optional<QString>& text) {
    if (orientation == Qt::Vertical) {
        if (text) {
            grid.setVerticalHeaderItem(section, new QTableWidgetItem(*text));
        } else {
            delete grid.takeVerticalHeaderItem(section);
        }
    } else {
        if (text) {
            grid.setHorizontalHeaderItem(section, new QTableWidgetItem(*text));
        } else {
            delete grid.takeHorizontalHeaderItem(section);
        }
    }
}

QJsonArray HeadersToJson(const std::vector<std::optional<QString>>& headers) {
    QJsonArray array;
    for (const auto& header : headers) {
        array.append(header ? QJsonValue(*header) : QJsonValue(QJsonValue::Null));
    }
    return array;
}

QJsonArray SizesToJson(const std::vector<int>& sizes) {
    QJsonArray array;
    for (const int size : sizes)
        array.append(size);
    return array;
}

// A whole number within [low, high], or nothing.
std::optional<int> WholeNumber(const QJsonValue& value, long long low, long long high) {
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number)
        return std::nullopt;
    if (number < static_cast<double>(low) || number > static_cast<double>(high))
        return std::nullopt;
    return static_cast<int>(number);
}

std::optional<std::vector<std::optional<QString>>> HeadersFromJson(const QJsonValue& value,
                                                                   int count) {
    if (!value.isArray() || value.toArray().size() != count)
        return std::nullopt;
    std::vector<std::optional<QString>> headers;
    headers.reserve(static_cast<std::size_t>(count));
    for (const QJsonValue header : value.toArray()) {
        if (header.isNull()) {
            headers.emplace_back(std::nullopt);
        } else if (header.isString()) {
            headers.emplace_back(header.toString());
        } else {
            return std::nullopt;
        }
    }
    return headers;
}

std::optional<std::vector<int>> SizesFromJson(const QJsonValue& value, int count) {
    if (!value.isArray() || value.toArray().size() != count)
        return std::nullopt;
    std::vector<int> sizes;
    sizes.reserve(static_cast<std::size_t>(count));
    for (const QJsonValue size : value.toArray()) {
        const auto pixels = WholeNumber(size, 0, kLargestSectionSize);
        if (!pixels)
            return std::nullopt;
        sizes.push_back(*pixels);
    }
    return sizes;
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
                sheet.cells.emplace(std::pair(row, column), item->text());
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
        grid.setItem(place.first, place.second, new QTableWidgetItem(text));
    }
}

QByteArray SheetToJson(const SavedSheet& sheet) {
    QJsonArray cells;
    for (const auto& [place, text] : sheet.cells) {
        cells.append(QJsonObject{
            {QStringLiteral("row"), place.first + 1},
            {QStringLiteral("column"), place.second + 1},
            {QStringLiteral("text"), text},
        });
    }
    const QJsonObject root{
        {QStringLiteral("format"), kFormatName},
        {QStringLiteral("version"), kFormatVersion},
        {QStringLiteral("rows"), sheet.rowCount},
        {QStringLiteral("columns"), sheet.columnCount},
        {QStringLiteral("rowHeaders"), HeadersToJson(sheet.rowHeaders)},
        {QStringLiteral("columnHeaders"), HeadersToJson(sheet.columnHeaders)},
        {QStringLiteral("rowHeights"), SizesToJson(sheet.rowHeights)},
        {QStringLiteral("columnWidths"), SizesToJson(sheet.columnWidths)},
        {QStringLiteral("cells"), cells},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<SavedSheet> SheetFromJson(const QByteArray& json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != kFormatName)
        return std::nullopt;
    if (WholeNumber(root.value(QStringLiteral("version")), kFormatVersion, kFormatVersion) !=
        kFormatVersion) {
        return std::nullopt;
    }

    SavedSheet sheet;
    const auto rows = WholeNumber(root.value(QStringLiteral("rows")), 0, kLargestSheetSide);
    const auto columns = WholeNumber(root.value(QStringLiteral("columns")), 0, kLargestSheetSide);
    if (!rows || !columns || static_cast<long long>(*rows) * *columns > kLargestSheetCellCount) {
        return std::nullopt;
    }
    sheet.rowCount = *rows;
    sheet.columnCount = *columns;

    auto rowHeaders = HeadersFromJson(root.value(QStringLiteral("rowHeaders")), *rows);
    auto columnHeaders = HeadersFromJson(root.value(QStringLiteral("columnHeaders")), *columns);
    auto rowHeights = SizesFromJson(root.value(QStringLiteral("rowHeights")), *rows);
    auto columnWidths = SizesFromJson(root.value(QStringLiteral("columnWidths")), *columns);
    if (!rowHeaders || !columnHeaders || !rowHeights || !columnWidths)
        return std::nullopt;
    sheet.rowHeaders = std::move(*rowHeaders);
    sheet.columnHeaders = std::move(*columnHeaders);
    sheet.rowHeights = std::move(*rowHeights);
    sheet.columnWidths = std::move(*columnWidths);

    const QJsonValue cells = root.value(QStringLiteral("cells"));
    if (!cells.isArray())
        return std::nullopt;
    for (const QJsonValue cellValue : cells.toArray()) {
        const QJsonObject cell = cellValue.toObject();
        const auto row = WholeNumber(cell.value(QStringLiteral("row")), 1, *rows);
        const auto column = WholeNumber(cell.value(QStringLiteral("column")), 1, *columns);
        const QJsonValue text = cell.value(QStringLiteral("text"));
        if (!cellValue.isObject() || !row || !column || !text.isString())
            return std::nullopt;
        if (text.toString().isEmpty())
            continue;
        if (!sheet.cells.emplace(std::pair(*row - 1, *column - 1), text.toString()).second) {
            return std::nullopt;  // the same cell twice: not written by a save
        }
    }
    return sheet;
}

bool SaveSheetToFile(const QTableWidget& grid, const QString& path) {
    // Through the system's one atomic replace, so that a crash leaves the old
    // file or the new one, and at worst a temporary file no reader takes.
    const QByteArray json = SheetToJson(CaptureSheet(grid));
    return Disk()
        .ReplaceFile(QFile::encodeName(path).toStdString(),
                     std::string_view(json.constData(), static_cast<std::size_t>(json.size())))
        .ok();
}

bool LoadSheetFromFile(QTableWidget& grid, const QString& path) {
    // Only a regular file: opening a pipe or device could wait for ever.
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray json = file.read(kLargestSheetFileSize + 1);
    if (json.size() > kLargestSheetFileSize || file.error() != QFileDevice::NoError)
        return false;
    const auto sheet = SheetFromJson(json);
    if (!sheet)
        return false;
    ApplySheet(grid, *sheet);
    return true;
}

}  // namespace bladeway
