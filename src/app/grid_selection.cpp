#include "app/grid_selection.h"

#include <QItemSelectionModel>

namespace bladeway {
namespace {

GridCell CellOf(const QModelIndex& index) {
    return GridCell{index.column() + 1, index.row() + 1};
}

}  // namespace

GridSelectionRanges SelectionOf(const QItemSelectionModel& selection) {
    std::vector<GridRange> ranges;
    for (const QItemSelectionRange& range : selection.selection()) {
        if (range.isValid())
            ranges.push_back(GridRange{CellOf(range.topLeft()), CellOf(range.bottomRight())});
    }
    const QModelIndex current = selection.currentIndex();
    return GridSelectionRanges(std::move(ranges),
                               current.isValid() ? std::optional(CellOf(current)) : std::nullopt);
}

}  // namespace bladeway
