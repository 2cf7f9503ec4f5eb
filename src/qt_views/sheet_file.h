#pragma once

// The grid's own saved-sheet format: the whole sheet of a QTableWidget (its
// size, cell texts, header texts, column widths and row heights) as one JSON
// document. A save followed by a load gives back the same sheet; a file that
// is missing, damaged or not a saved sheet leaves the grid as it was.
//
// {"format": "Bladeway sheet", "version": 1, "rows": R, "columns": C,
//  "rowHeaders": [R texts or null], "columnHeaders": [C texts or null],
//  "rowHeights": [R pixels], "columnWidths": [C pixels],
//  "cells": [{"row": r, "column": c, "text": "..."}, ...]}
//
// Rows and columns count from 1; a null header is the grid's default
// heading; only non-empty cells are listed.

#include <map>
#include <optional>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QTableWidget>

namespace bladeway {

// Bounds of what a saved sheet may hold; anything beyond is not a saved sheet.
inline constexpr int kLargestSheetSide = 10000;
inline constexpr long long kLargestSheetCellCount = 1'000'000;
inline constexpr int kLargestSectionSize = 65535;
inline constexpr qint64 kLargestSheetFileSize = qint64{32} << 20;

struct SavedSheet {
    int rowCount = 0;
    int columnCount = 0;
    std::vector<std::optional<QString>> rowHeaders;     // rowCount entries
    std::vector<std::optional<QString>> columnHeaders;  // columnCount entries
    std::vector<int> rowHeights;                        // rowCount entries, pixels
    std::vector<int> columnWidths;                      // columnCount entries, pixels
    std::map<std::pair<int, int>, QString> cells;  // by (row, column) from 0; never empty texts

    bool operator==(const SavedSheet&) const = default;
};

SavedSheet CaptureSheet(const QTableWidget& grid);
// Replaces the grid's whole sheet by `sheet`.
void ApplySheet(QTableWidget& grid, const SavedSheet& sheet);

QByteArray SheetToJson(const SavedSheet& sheet);
// The sheet, or nothing when `json` is not a complete saved sheet within the bounds.
std::optional<SavedSheet> SheetFromJson(const QByteArray& json);

// The grid's save-to-file: the file is replaced atomically. False when it
// could not be written (the old file then stays as it was).
bool SaveSheetToFile(const QTableWidget& grid, const QString& path);
// The grid's load-from-file: false, with the grid untouched, when the file is
// missing, unreadable, too large or not a saved sheet.
bool LoadSheetFromFile(QTableWidget& grid, const QString& path);

}  // namespace bladeway
