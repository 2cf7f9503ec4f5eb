#include "app/grid_selection.h"

#include <algorithm>

#include <QAbstractItemModel>
#include <QItemSelectionModel>

namespace bladeway {

bool GridSelection::IsCellSelected(int column, int row) const {
    const QAbstractItemModel* model = selection_.model();
    if (model == nullptr)
        return false;
    const QModelIndex index = model->index(row - 1, column - 1);
    return index.isValid() && selection_.isSelected(index);
}

bool GridSelection::IsAnyBlockSelected() const {
    const QItemSelection selection = selection_.selection();
    QModelIndex onlyCell;
    for (const QItemSelectionRange& range : selection) {
        if (range.width() != 1 || range.height() != 1)
            return true;
        // Ranges may repeat a cell; a second, different cell makes a block.
        if (onlyCell.isValid() && range.topLeft() != onlyCell)
            return true;
        onlyCell = range.topLeft();
    }
    return onlyCell.isValid() && onlyCell != selection_.currentIndex();
}

}  // namespace bladeway

namespace bladeway {

SelectionSnapshot::SelectionSnapshot(const SheetSelection& selection, int columnCount)
    : anyBlock_(selection.IsAnyBlockSelected()),
      rowOneSelected_(static_cast<std::size_t>(std::max(columnCount, 0)) + 1, false) {
    for (int column = 1; column <= columnCount; ++column)
        rowOneSelected_[static_cast<std::size_t>(column)] = selection.IsCellSelected(column, 1);
}

bool SelectionSnapshot::IsCellSelected(int column, int row) const {
    return row == 1 && column >= 1 && static_cast<std::size_t>(column) < rowOneSelected_.size() &&
           rowOneSelected_[static_cast<std::size_t>(column)];
}

}  // namespace bladeway
