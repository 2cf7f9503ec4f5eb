#pragma once
// Sheets for run tests, column by column, and a rectangular selection.
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "core/keydata/sheet.h"
#include "core/keydata/sheet_selection.h"

namespace bladeway::testing {

// A sheet with one column per entry, each listing its rows from row 1; the
// row count is that of the longest column.
inline std::unique_ptr<Sheet> SheetOf(const std::vector<std::vector<std::string>>& columns) {
    auto sheet = std::make_unique<Sheet>();
    std::size_t rows = 0;
    for (const auto& column : columns)
        rows = std::max(rows, column.size());
    sheet->SetColumnCount(static_cast<int>(columns.size()));
    sheet->SetRowCount(static_cast<int>(rows));
    for (std::size_t c = 0; c < columns.size(); ++c)
        for (std::size_t r = 0; r < columns[c].size(); ++r)
            sheet->SetCellText(static_cast<int>(c + 1), static_cast<int>(r + 1), columns[c][r]);
    return sheet;
}

// One block of cells selected, corners included.
class BlockSelection final : public SheetSelection {
  public:
    BlockSelection(int firstColumn, int firstRow, int lastColumn, int lastRow)
        : firstColumn_(firstColumn),
          firstRow_(firstRow),
          lastColumn_(lastColumn),
          lastRow_(lastRow) {}
    bool IsCellSelected(int column, int row) const override {
        return column >= firstColumn_ && column <= lastColumn_ && row >= firstRow_ &&
               row <= lastRow_;
    }
    bool IsAnyBlockSelected() const override { return true; }

  private:
    int firstColumn_, firstRow_, lastColumn_, lastRow_;
};

}  // namespace bladeway::testing
