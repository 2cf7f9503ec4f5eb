#pragma once
// The key grid's answers to the processing run's two questions, taken from
// the table view's selection. A cell is selected when it lies in the user's
// selection. A block is selected when the user has selected more than the
// single current cell: a drag, a shift-extension, a whole column or row by
// its heading. A plain click only moves the current cell and selects no block.
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
