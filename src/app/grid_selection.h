#pragma once
// The key grid's answers to the processing run's two questions, taken from
// the table view's selection. A cell is selected when it lies in the user's
// selection. A block is selected when the user has selected more than the
// single current cell: a drag, a shift-extension, a whole column or row by
// its heading. A plain click only moves the current cell and selects no block.
#include <vector>

#include "core/keydata/sheet_selection.h"

class QItemSelectionModel;

namespace bladeway {

class GridSelection final : public SheetSelection {
  public:
    explicit GridSelection(const QItemSelectionModel& selection) : selection_(selection) {}

    bool IsCellSelected(int column, int row) const override;
    bool IsAnyBlockSelected() const override;

  private:
    const QItemSelectionModel& selection_;
};

}  // namespace bladeway

namespace bladeway {

// The run's answers taken once from another selection, so that a run on a
// worker thread never asks the view: whether a block is selected, and each
// column's row-1 cell, the only cells the run asks about (other rows answer
// false).
class SelectionSnapshot final : public SheetSelection {
  public:
    SelectionSnapshot(const SheetSelection& selection, int columnCount);

    bool IsCellSelected(int column, int row) const override;
    bool IsAnyBlockSelected() const override { return anyBlock_; }

  private:
    bool anyBlock_;
    std::vector<bool> rowOneSelected_;  // by column, from 1
};

}  // namespace bladeway
