#include "app/grid_selection.h"

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
