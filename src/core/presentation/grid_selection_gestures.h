#pragma once
// The key grid's selection as the user makes it with the mouse and the keys,
// for a grid that keeps its own (the native one; Qt's table view has this
// behaviour built in as its extended selection of single cells): a press
// selects one cell and starts a block that a drag stretches; Shift stretches
// the block from the anchor; Ctrl with a press adds a block, or takes one
// away when it starts on a selected cell; Ctrl with a moving key moves only
// the current cell. A heading stretches the block over whole columns or
// rows. What counts as a selected block is GridSelectionRanges's rule
// (key_grid_rules.h).
#include <optional>
#include <span>
#include <vector>

#include "core/presentation/key_grid_rules.h"

namespace bladeway {

// What a press or a key starts from: a cell, a column heading or a row heading.
enum class GridExtent { kCells, kColumns, kRows };

class GridSelection {
  public:
    // The sheet's size, for whole columns and rows.
    void SetSheetSize(int columnCount, int rowCount);

    std::optional<GridCell> Current() const { return current_; }

    // A mouse press at `cell` (on a heading, `cell` is the heading's column
    // or row with the current cell's place in the other direction).
    void Press(GridCell cell, GridExtent extent, bool shift, bool control);
    // The mouse moves to `cell` with the button down.
    void DragTo(GridCell cell);
    // A moving key takes the current cell to `cell`.
    void MoveTo(GridCell cell, bool shift, bool control);
    // Every cell, the current cell staying.
    void SelectAll();
    // Exactly these blocks, with the current cell at `current`.
    void SelectBlocks(std::span<const GridRange> blocks, GridCell current);
    // Nothing selected and no current cell (a new sheet).
    void Clear();

    // The selected cells as ranges, and as the selection a run and the
    // model read.
    std::vector<GridRange> Ranges() const;
    GridSelectionRanges AsSheetSelection() const;

  private:
    enum class Mode { kSelect, kDeselect };
    // The block being made: from the anchor to the moving end, over cells,
    // whole columns or whole rows; it adds to or takes from the blocks made
    // before it.
    struct Block {
        GridCell from;
        GridCell to;
        GridExtent extent = GridExtent::kCells;
        Mode mode = Mode::kSelect;
    };

    GridRange RangeOf(const Block& block) const;
    bool Covers(const GridRange& range) const;
    void Settle();

    int columnCount_ = 0;
    int rowCount_ = 0;
    std::optional<GridCell> current_;
    std::optional<GridCell> anchor_;
    std::vector<GridRange> settled_;
    std::optional<Block> block_;
};

}  // namespace bladeway
