#pragma once
// Sheets for run tests, column by column, and a rectangular selection.
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

// A key column in the layout of a key data file: two free lines, template,
// program, mirror count 1, description, then the name/value rows.
inline std::vector<std::string> KeyColumn(const std::string& templateName,
                                          const std::string& program,
                                          std::vector<std::string> pairs = {}) {
    std::vector<std::string> column{"KEY", "", templateName, program, "1", "KEY (A1)"};
    column.insert(column.end(), pairs.begin(), pairs.end());
    return column;
}

// The worked example's key as the grid holds it, under another program name.
inline std::vector<std::string> ExampleColumn(const std::string& program) {
    return KeyColumn("MASTER", program, {"L=1.25", "S=0.5", "D=4.75", "V3=14", "R7=2"});
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
