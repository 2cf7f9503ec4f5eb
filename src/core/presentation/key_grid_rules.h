#pragma once
// The key grid's rules (KeyData): its headings, and what its selection tells
// the processing run. A front end only translates its own selection into
// ranges of cells and its current cell.
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/keydata/sheet.h"
#include "core/keydata/sheet_selection.h"

namespace bladeway {

// A column's heading: spreadsheet letters ("A", "AA"); a row's: its number.
// Sections count from 0; nothing for a section outside the sheet.
std::optional<std::string> KeyGridColumnHeading(const Sheet& sheet, int section);
std::optional<int> KeyGridRowHeading(const Sheet& sheet, int section);

// A cell of the grid, both counted from 1.
struct GridCell {
    int column = 0;
    int row = 0;
    friend constexpr bool operator==(const GridCell&, const GridCell&) = default;
};

// A rectangle of selected cells, its corners counted from 1.
struct GridRange {
    GridCell topLeft;
    GridCell bottomRight;
    bool Contains(int column, int row) const {
        return column >= topLeft.column && column <= bottomRight.column && row >= topLeft.row &&
               row <= bottomRight.row;
    }
};

// The grid's selection as the user made it. A cell is selected when it lies
// in a range. A block is selected when more than the single current cell is:
// a drag, a shift-extension, a whole column or row by its heading. A plain
// click only moves the current cell and selects no block. A value the run
// on the worker thread takes a copy of: it never asks the view.
class GridSelectionRanges final : public SheetSelection {
  public:
    GridSelectionRanges() = default;  // nothing selected
    GridSelectionRanges(std::vector<GridRange> ranges, std::optional<GridCell> current)
        : ranges_(std::move(ranges)), current_(current) {}

    bool IsCellSelected(int column, int row) const override;
    bool IsAnyBlockSelected() const override;

  private:
    std::vector<GridRange> ranges_;
    std::optional<GridCell> current_;
};

// Whole columns (counted from 1, ascending) as the ranges that select them in
// a grid of `rowCount` rows: neighbouring columns make one range each.
std::vector<GridRange> ColumnBlocks(std::span<const int> columns, int rowCount);

}  // namespace bladeway
