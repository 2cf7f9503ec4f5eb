#include "core/presentation/grid_selection_gestures.h"

#include <algorithm>

namespace bladeway {
namespace {

// `whole` less `hole`, as up to four ranges.
void Subtract(const GridRange& whole, const GridRange& hole, std::vector<GridRange>& out) {
    const GridCell& a = whole.topLeft;
    const GridCell& b = whole.bottomRight;
    const GridCell& h = hole.topLeft;
    const GridCell& k = hole.bottomRight;
    if (k.column < a.column || h.column > b.column || k.row < a.row || h.row > b.row) {
        out.push_back(whole);
        return;
    }
    const int top = std::max(a.row, h.row);
    const int bottom = std::min(b.row, k.row);
    if (h.row > a.row)
        out.push_back(GridRange{{a.column, a.row}, {b.column, h.row - 1}});
    if (k.row < b.row)
        out.push_back(GridRange{{a.column, k.row + 1}, {b.column, b.row}});
    if (h.column > a.column)
        out.push_back(GridRange{{a.column, top}, {h.column - 1, bottom}});
    if (k.column < b.column)
        out.push_back(GridRange{{k.column + 1, top}, {b.column, bottom}});
}

}  // namespace

void GridSelection::SetSheetSize(int columnCount, int rowCount) {
    columnCount_ = columnCount;
    rowCount_ = rowCount;
}

void GridSelection::Press(GridCell cell, GridExtent extent, bool shift, bool control) {
    current_ = cell;
    if (shift && anchor_) {
        block_ = Block{*anchor_, cell, extent, Mode::kSelect};
        return;
    }
    anchor_ = cell;
    if (control) {
        const Block probe{cell, cell, extent, Mode::kSelect};
        const Mode mode = Covers(RangeOf(probe)) ? Mode::kDeselect : Mode::kSelect;
        Settle();
        block_ = Block{cell, cell, extent, mode};
        return;
    }
    settled_.clear();
    block_ = Block{cell, cell, extent, Mode::kSelect};
}

void GridSelection::DragTo(GridCell cell) {
    current_ = cell;
    if (block_)
        block_->to = cell;
}

void GridSelection::MoveTo(GridCell cell, bool shift, bool control) {
    const std::optional<GridCell> previous = current_;
    current_ = cell;
    if (control) {
        anchor_ = cell;
        return;
    }
    if (shift) {
        if (!anchor_)
            anchor_ = previous.value_or(cell);
        block_ = Block{*anchor_, cell, GridExtent::kCells, Mode::kSelect};
        return;
    }
    anchor_ = cell;
    settled_.clear();
    block_ = Block{cell, cell, GridExtent::kCells, Mode::kSelect};
}

void GridSelection::SelectAll() {
    settled_.clear();
    block_ = Block{{1, 1}, {columnCount_, rowCount_}, GridExtent::kCells, Mode::kSelect};
}

void GridSelection::SelectBlocks(std::span<const GridRange> blocks, GridCell current) {
    settled_.assign(blocks.begin(), blocks.end());
    block_.reset();
    current_ = current;
    anchor_ = current;
}

void GridSelection::Clear() {
    settled_.clear();
    block_.reset();
    current_.reset();
    anchor_.reset();
}

GridRange GridSelection::RangeOf(const Block& block) const {
    GridRange range{
        {std::min(block.from.column, block.to.column), std::min(block.from.row, block.to.row)},
        {std::max(block.from.column, block.to.column), std::max(block.from.row, block.to.row)}};
    if (block.extent == GridExtent::kColumns) {
        range.topLeft.row = 1;
        range.bottomRight.row = rowCount_;
    } else if (block.extent == GridExtent::kRows) {
        range.topLeft.column = 1;
        range.bottomRight.column = columnCount_;
    }
    return range;
}

// True when one selected range holds all of `range`.
bool GridSelection::Covers(const GridRange& range) const {
    const std::vector<GridRange> ranges = Ranges();
    return std::any_of(ranges.begin(), ranges.end(), [&range](const GridRange& selected) {
        return selected.Contains(range.topLeft.column, range.topLeft.row) &&
               selected.Contains(range.bottomRight.column, range.bottomRight.row);
    });
}

void GridSelection::Settle() {
    settled_ = Ranges();
    block_.reset();
}

std::vector<GridRange> GridSelection::Ranges() const {
    if (!block_)
        return settled_;
    const GridRange block = RangeOf(*block_);
    if (block_->mode == Mode::kSelect) {
        std::vector<GridRange> ranges = settled_;
        ranges.push_back(block);
        return ranges;
    }
    std::vector<GridRange> ranges;
    for (const GridRange& selected : settled_)
        Subtract(selected, block, ranges);
    return ranges;
}

GridSelectionRanges GridSelection::AsSheetSelection() const {
    return {Ranges(), current_};
}

}  // namespace bladeway
