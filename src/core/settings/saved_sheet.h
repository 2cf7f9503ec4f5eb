#pragma once
// A grid's saved-sheet format: the whole sheet (its size, cell texts, header
// texts, column widths and row heights) as one JSON document in UTF-8. A
// save followed by a load gives back the same sheet; a file that is missing,
// damaged or not a saved sheet gives nothing.
//
// {"format": "Bladeway sheet", "version": 1, "rows": R, "columns": C,
//  "rowHeaders": [R texts or null], "columnHeaders": [C texts or null],
//  "rowHeights": [R pixels at 96 DPI], "columnWidths": [C pixels at 96 DPI],
//  "cells": [{"row": r, "column": c, "text": "..."}, ...]}
//
// Rows and columns count from 1; a null header is the grid's default
// heading; only non-empty cells are listed. The file is plain JSON, members
// in name order, indented by four spaces. Reading is strict: a member the
// format does not have, or one given twice, refuses the file like any text
// that is not JSON.
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/storage/file_system.h"

namespace bladeway {

// Bounds of what a saved sheet may hold; anything beyond is not a saved sheet.
inline constexpr int kLargestSheetSide = 10000;
inline constexpr long long kLargestSheetCellCount = 1'000'000;
inline constexpr int kLargestSectionSize = 65535;
inline constexpr std::size_t kLargestSheetFileSize = std::size_t{32} << 20;

// Texts are UTF-8.
struct SavedSheet {
    int rowCount = 0;
    int columnCount = 0;
    std::vector<std::optional<std::string>> rowHeaders;     // rowCount entries
    std::vector<std::optional<std::string>> columnHeaders;  // columnCount entries
    std::vector<int> rowHeights;                            // rowCount entries, pixels
    std::vector<int> columnWidths;                          // columnCount entries, pixels
    // By (row, column) from 0; never empty texts.
    std::map<std::pair<int, int>, std::string> cells;

    bool operator==(const SavedSheet&) const = default;
};

// The headings a grid shows for these headers: a header's text, or for none
// the grid's default heading, the section's number from 1.
std::vector<std::string> ShownHeadings(const std::vector<std::optional<std::string>>& headers);

std::string SheetToJson(const SavedSheet& sheet);
// The sheet, or nothing when `json` is not a complete saved sheet within the bounds.
std::optional<SavedSheet> SheetFromJson(std::string_view json);

// Replaces the file with the sheet, atomically: a failure leaves the old file.
Outcome SaveSheet(FileSystem& fileSystem, const std::string& path, const SavedSheet& sheet);
// The sheet in the file; nothing when the file is missing, not a regular
// file, unreadable, larger than kLargestSheetFileSize or not a saved sheet.
std::optional<SavedSheet> LoadSheet(const FileSystem& fileSystem, const std::string& path);

}  // namespace bladeway
