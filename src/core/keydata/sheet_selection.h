#pragma once

// The two questions the processing run asks of the grid's selection. The
// desktop program answers them from its table view; tests and the
// command-line tool give their own answers.

namespace bladeway {

class SheetSelection {
  public:
    virtual ~SheetSelection() = default;
    // True when the cell (column, row), both from 1, lies in the user's selection.
    virtual bool IsCellSelected(int column, int row) const = 0;
    // True when the user has selected a block of cells.
    virtual bool IsAnyBlockSelected() const = 0;
};

// Nothing selected: every key is processed.
class NoSelection final : public SheetSelection {
  public:
    bool IsCellSelected(int /*column*/, int /*row*/) const override { return false; }
    bool IsAnyBlockSelected() const override { return false; }
};

}  // namespace bladeway

namespace bladeway {

// A column's key is processed when its row-1 cell is selected or when no
// block is selected at all.
inline bool ProcessesColumn(const SheetSelection& selection, int column) {
    return selection.IsCellSelected(column, 1) || !selection.IsAnyBlockSelected();
}

}  // namespace bladeway
