// The native key grid's selection as mouse and keys make it, and its column
// widths, without a window.
#include "core/presentation/grid_selection_gestures.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/presentation/column_widths.h"

namespace bladeway {
namespace {

// One gesture on a 500 x 500 sheet.
using Gesture = std::function<void(GridSelection&)>;

Gesture Press(GridCell cell, bool shift = false, bool control = false) {
    return [=](GridSelection& s) { s.Press(cell, GridExtent::kCells, shift, control); };
}
Gesture Heading(GridCell cell, GridExtent extent, bool shift = false) {
    return [=](GridSelection& s) { s.Press(cell, extent, shift, false); };
}
Gesture Drag(GridCell cell) {
    return [=](GridSelection& s) { s.DragTo(cell); };
}
Gesture Key(GridCell cell, bool shift = false, bool control = false) {
    return [=](GridSelection& s) { s.MoveTo(cell, shift, control); };
}
const Gesture kSelectAll = [](GridSelection& s) { s.SelectAll(); };

struct GestureCase {
    const char* name;
    std::vector<Gesture> gestures;
    GridCell current;
    bool block;            // whether a block counts as selected
    std::string selected;  // of columns 1 to 5 and rows 1 to 5 (and 500), row by row
};

// The cells of columns 1 to 5 and 500 and rows 1 to 5 and 500, "x" where
// selected, rows split by "|".
std::string Picture(const SheetSelection& selection) {
    constexpr std::array<int, 6> kPlaces{1, 2, 3, 4, 5, 500};
    std::string picture;
    for (const int row : kPlaces) {
        if (!picture.empty())
            picture += '|';
        for (const int column : kPlaces)
            picture += selection.IsCellSelected(column, row) ? 'x' : '.';
    }
    return picture;
}

TEST(GridSelectionGestures, MakeTheSelectionAsTheUserExpects) {
    // clang-format off
    const std::vector<GestureCase> cases = {
        {"a click selects its cell, no block", {Press({3, 2})},
         {3, 2}, false, "......|..x...|......|......|......|......"},
        {"a drag selects from the press to the mouse", {Press({2, 2}), Drag({3, 4})},
         {3, 4}, true, "......|.xx...|.xx...|.xx...|......|......"},
        {"a drag back past its press turns round", {Press({2, 2}), Drag({3, 4}), Drag({1, 1})},
         {1, 1}, true, "xx....|xx....|......|......|......|......"},
        {"Shift with a press stretches from the anchor", {Press({2, 2}), Press({3, 4}, true)},
         {3, 4}, true, "......|.xx...|.xx...|.xx...|......|......"},
        {"Shift with keys stretches from the anchor, a key alone leaves it",
         {Press({2, 2}), Key({2, 3}, true), Key({1, 3}, true)},
         {1, 3}, true, "......|xx....|xx....|......|......|......"},
        {"a key without Shift selects its cell only", {Press({2, 2}), Drag({3, 3}), Key({4, 3})},
         {4, 3}, false, "......|......|...x..|......|......|......"},
        {"Ctrl with a press adds a block", {Press({1, 1}), Press({3, 3}, false, true)},
         {3, 3}, true, "x.....|......|..x...|......|......|......"},
        // A block still: a cell apart from the current one.
        {"Ctrl with a press on a selected cell takes it away",
         {Press({1, 1}), Press({3, 3}, false, true), Press({3, 3}, false, true)},
         {3, 3}, true, "x.....|......|......|......|......|......"},
        {"Ctrl with a drag from a selected cell cuts its block out",
         {Press({1, 1}), Drag({4, 4}), Press({2, 2}, false, true), Drag({3, 3})},
         {3, 3}, true, "xxxx..|x..x..|x..x..|xxxx..|......|......"},
        {"Ctrl with a key moves only the current cell",
         {Press({1, 1}), Drag({2, 2}), Key({3, 2}, false, true)},
         {3, 2}, true, "xx....|xx....|......|......|......|......"},
        {"column headings select whole columns",
         {Heading({2, 1}, GridExtent::kColumns), Heading({4, 1}, GridExtent::kColumns, true)},
         {4, 1}, true, ".xxx..|.xxx..|.xxx..|.xxx..|.xxx..|.xxx.."},
        {"a drag over row headings selects whole rows",
         {Heading({1, 3}, GridExtent::kRows), Drag({1, 4})},
         {1, 4}, true, "......|......|xxxxxx|xxxxxx|......|......"},
        {"select all keeps the current cell", {Press({2, 2}), kSelectAll},
         {2, 2}, true, "xxxxxx|xxxxxx|xxxxxx|xxxxxx|xxxxxx|xxxxxx"},
    };
    // clang-format on
    for (const GestureCase& row : cases) {
        GridSelection selection;
        selection.SetSheetSize(500, 500);
        for (const Gesture& gesture : row.gestures)
            gesture(selection);
        const GridSelectionRanges made = selection.AsSheetSelection();
        EXPECT_EQ(selection.Current(), row.current) << row.name;
        EXPECT_EQ(made.IsAnyBlockSelected(), row.block) << row.name;
        EXPECT_EQ(Picture(made), row.selected) << row.name;
    }
}

TEST(GridSelectionGestures, BlocksFromTheModelReplaceTheSelectionAndANewSheetClearsIt) {
    GridSelection selection;
    selection.SetSheetSize(500, 500);
    selection.Press({1, 1}, GridExtent::kCells, false, false);
    const std::array<GridRange, 1> blocks{GridRange{{2, 1}, {3, 500}}};
    selection.SelectBlocks(blocks, {3, 1});
    EXPECT_EQ(Picture(selection.AsSheetSelection()), ".xx...|.xx...|.xx...|.xx...|.xx...|.xx...");
    // Shift stretches a new block from the given current cell beside them.
    selection.MoveTo({4, 2}, true, false);
    EXPECT_EQ(Picture(selection.AsSheetSelection()), ".xxx..|.xxx..|.xx...|.xx...|.xx...|.xx...");

    selection.Clear();
    EXPECT_FALSE(selection.Current().has_value());
    EXPECT_EQ(Picture(selection.AsSheetSelection()), "......|......|......|......|......|......");
}

TEST(ColumnWidthsTest, ResizedColumnsMoveTheOnesAfterThemAndScaleWithTheDefault) {
    ColumnWidths widths;
    widths.Reset(500, 84);
    widths.SetWidth(2, 30);
    widths.SetWidth(4, 0);     // at least one pixel
    widths.SetWidth(501, 10);  // no such column
    EXPECT_EQ(widths.Left(1), 0);
    EXPECT_EQ(widths.Left(3), 84 + 30);
    EXPECT_EQ(widths.Left(5), 84 + 30 + 84 + 1);
    EXPECT_EQ(widths.Total(), 498 * 84 + 30 + 1);
    // Places by pixel: before, inside and after the resized columns.
    for (const auto& [x, column] : std::vector<std::pair<int, int>>{
             {-5, 1}, {83, 1}, {84, 2}, {113, 2}, {114, 3}, {198, 4}, {199, 5}, {1 << 30, 500}})
        EXPECT_EQ(widths.ColumnAt(x), column) << x;

    widths.Rescale(126);  // 96 to 144 DPI
    EXPECT_EQ(widths.Width(1), 126);
    EXPECT_EQ(widths.Width(2), 45);
    EXPECT_EQ(widths.Width(4), 2);  // 1.5 rounds up
    widths.SetWidth(2, 126);        // back to the default: no longer resized
    EXPECT_EQ(widths.Left(3), 2 * 126);

    widths.Reset(0, 84);  // a grid without columns still answers column 1
    EXPECT_EQ(widths.ColumnAt(100), 1);
}

}  // namespace
}  // namespace bladeway
