#include "core/presentation/key_grid_rules.h"

#include <algorithm>

#include "core/keydata/column_letters.h"

namespace bladeway {

std::optional<std::string> KeyGridColumnHeading(const Sheet& sheet, int section) {
    if (section < 0 || section >= sheet.ColumnCount())
        return std::nullopt;
    return ColumnLetters(section + 1);
}

std::optional<int> KeyGridRowHeading(const Sheet& sheet, int section) {
    if (section < 0 || section >= sheet.RowCount())
        return std::nullopt;
    return section + 1;
}

bool GridSelectionRanges::IsCellSelected(int column, int row) const {
    return std::any_of(ranges_.begin(), ranges_.end(), [column, row](const GridRange& range) {
        return range.Contains(column, row);
    });
}

bool GridSelectionRanges::IsAnyBlockSelected() const {
    std::optional<GridCell> onlyCell;
    for (const GridRange& range : ranges_) {
        if (range.topLeft != range.bottomRight)
            return true;
        // Ranges may repeat a cell; a second, different cell makes a block.
        if (onlyCell && range.topLeft != *onlyCell)
            return true;
        onlyCell = range.topLeft;
    }
    return onlyCell.has_value() && onlyCell != current_;
}

std::vector<GridRange> ColumnBlocks(std::span<const int> columns, int rowCount) {
    std::vector<GridRange> blocks;
    for (std::size_t i = 0; i < columns.size();) {
        std::size_t end = i + 1;
        while (end < columns.size() && columns[end] == columns[end - 1] + 1)
            ++end;
        blocks.push_back(GridRange{{columns[i], 1}, {columns[end - 1], rowCount}});
        i = end;
    }
    return blocks;
}

}  // namespace bladeway
