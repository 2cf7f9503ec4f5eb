// The Win32 key grid driven in process with window messages, as the user's
// mouse, keys and wheel would drive it: each reaches the selection (whose
// rules are GridSelection's, tested in the core), the scrolling and the
// edit; the results are read as the core reads them.
#include "win32/views/key_grid.h"

#include <array>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/presentation/key_grid_rules.h"
#include "win32/kit/windows_api.h"
#include "win32/support/main_frame_start.h"
#include "win32/support/when_shown.h"

namespace bladeway::win32 {
namespace {

using namespace std::chrono_literals;

class Win32KeyGridTest : public testing::OwnerWindowTest {
  protected:
    void SetUp() override {
        OwnerWindowTest::SetUp();
        grid_ = std::make_unique<KeyGrid>(owner, RECT{0, 0, 420, 300}, 1);
        ASSERT_NE(grid_->Handle(), nullptr);
        testing::HoldModifiers(false, false);
    }

    void TearDown() override {
        testing::HoldModifiers(false, false);
        grid_.reset();
        OwnerWindowTest::TearDown();
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageW(grid_->Handle(), message, wParam, lParam);
    }

    // A wheel message's wParam for `delta`.
    static WPARAM Wheel(int delta) {
        return static_cast<WPARAM>(static_cast<WORD>(static_cast<short>(delta))) << 16;
    }

    static LPARAM At(POINT point) { return MAKELPARAM(point.x, point.y); }

    POINT CenterOf(GridCell cell) const {
        const RECT rect = grid_->CellRect(cell);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    // The middle of column `column`'s heading, or of row `row`'s.
    POINT ColumnHeading(int column) const {
        return POINT{CenterOf({column, 1}).x, grid_->Metrics().headerHeight / 2};
    }
    POINT RowHeading(int row) const {
        return POINT{grid_->Metrics().rowHeaderWidth / 2, CenterOf({1, row}).y};
    }

    void Press(POINT point, WPARAM keys = 0) { Send(WM_LBUTTONDOWN, MK_LBUTTON | keys, At(point)); }
    void MoveTo(POINT point, WPARAM keys = 0) { Send(WM_MOUSEMOVE, MK_LBUTTON | keys, At(point)); }
    void Release(POINT point) { Send(WM_LBUTTONUP, 0, At(point)); }

    void Click(POINT point, WPARAM keys = 0) {
        Press(point, keys);
        Release(point);
    }
    void Click(GridCell cell, WPARAM keys = 0) { Click(CenterOf(cell), keys); }

    void Drag(GridCell from, GridCell to, WPARAM keys = 0) {
        Press(CenterOf(from), keys);
        MoveTo(CenterOf(to), keys);
        Release(CenterOf(to));
    }

    void Key(WPARAM key, bool shift = false, bool control = false, HWND target = nullptr) {
        testing::HoldModifiers(shift, control);
        SendMessageW(target != nullptr ? target : grid_->Handle(), WM_KEYDOWN, key, 0);
        testing::HoldModifiers(false, false);
    }

    SCROLLINFO ScrollInfo(int bar) const {
        SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
        EXPECT_TRUE(GetScrollInfo(grid_->Handle(), bar, &info));
        return info;
    }

    SIZE ViewSize() const {
        RECT client{};
        GetClientRect(grid_->Handle(), &client);
        return SIZE{client.right - grid_->Metrics().rowHeaderWidth,
                    client.bottom - grid_->Metrics().headerHeight};
    }

    // True when the whole cell lies in the visible cells.
    bool InSight(GridCell cell) const {
        const RECT rect = grid_->CellRect(cell);
        const SIZE view = ViewSize();
        return rect.left >= grid_->Metrics().rowHeaderWidth &&
               rect.top >= grid_->Metrics().headerHeight &&
               rect.right <= grid_->Metrics().rowHeaderWidth + view.cx &&
               rect.bottom <= grid_->Metrics().headerHeight + view.cy;
    }

    // The cells of `columns` x `rows` that `selection` holds.
    static std::vector<GridCell> SelectedAmong(const SheetSelection& selection,
                                               std::initializer_list<int> columns,
                                               std::initializer_list<int> rows) {
        std::vector<GridCell> cells;
        for (const int row : rows) {
            for (const int column : columns) {
                if (selection.IsCellSelected(column, row))
                    cells.push_back(GridCell{column, row});
            }
        }
        return cells;
    }

    std::unique_ptr<KeyGrid> grid_;
};

using Cells = std::vector<GridCell>;

TEST_F(Win32KeyGridTest, StartsOnAnEmptySheetOf500By500WithoutACurrentCell) {
    EXPECT_EQ(grid_->GetSheet().ColumnCount(), 500);
    EXPECT_EQ(grid_->GetSheet().RowCount(), 500);
    EXPECT_FALSE(grid_->Current().has_value());
    EXPECT_FALSE(grid_->Selection().IsAnyBlockSelected());
    EXPECT_FALSE(grid_->Selection().IsCellSelected(1, 1));
    // Columns as wide as the main window's design gives them (1260 twips at 96 DPI).
    EXPECT_EQ(grid_->CellRect({2, 1}).left - grid_->CellRect({1, 1}).left, 1260 * 96 / 1440);
    const SCROLLINFO info = ScrollInfo(SB_VERT);
    EXPECT_EQ(info.nMax + 1, 500 * grid_->Metrics().rowHeight);
    EXPECT_EQ(static_cast<LONG>(info.nPage), ViewSize().cy);
    EXPECT_EQ(info.nPos, 0);
}

// What each gesture selects is the core's (GridSelectionGesturesTest); here
// each way the mouse, the headings and the keys reach the grid gets there.
TEST_F(Win32KeyGridTest, TheMouseTheHeadingsAndTheKeysReachTheSelection) {
    Click(GridCell{3, 2});
    EXPECT_EQ(grid_->Current(), (GridCell{3, 2}));
    EXPECT_FALSE(grid_->Selection().IsAnyBlockSelected());
    EXPECT_EQ(GetFocus(), grid_->Handle());
    Click(GridCell{3, 4}, MK_SHIFT);
    EXPECT_EQ(SelectedAmong(grid_->Selection(), {2, 3, 4}, {1, 2, 4, 5}), (Cells{{3, 2}, {3, 4}}));
    Key(VK_DOWN, /*shift=*/true);
    EXPECT_EQ(grid_->Current(), (GridCell{3, 5}));
    EXPECT_TRUE(grid_->Selection().IsCellSelected(3, 5));
    Click(GridCell{1, 1});
    Click(GridCell{3, 3}, MK_CONTROL);
    EXPECT_EQ(SelectedAmong(grid_->Selection(), {1, 2, 3}, {1, 2, 3}), (Cells{{1, 1}, {3, 3}}));

    Drag({2, 2}, {3, 4});
    EXPECT_EQ(grid_->Current(), (GridCell{3, 4}));
    EXPECT_EQ(SelectedAmong(grid_->Selection(), {1, 2, 3, 4}, {1, 2, 4, 5}),
              (Cells{{2, 2}, {3, 2}, {2, 4}, {3, 4}}));
    Key(VK_LEFT, false, /*control=*/true);
    EXPECT_EQ(grid_->Current(), (GridCell{2, 4}));
    EXPECT_TRUE(grid_->Selection().IsCellSelected(3, 4));
    // A right press keeps the block it is on and selects a cell elsewhere.
    Send(WM_RBUTTONDOWN, MK_RBUTTON, At(CenterOf({3, 3})));
    EXPECT_EQ(grid_->Current(), (GridCell{3, 3}));
    EXPECT_TRUE(grid_->Selection().IsCellSelected(2, 2));
    Send(WM_RBUTTONDOWN, MK_RBUTTON, At(CenterOf({5, 5})));
    EXPECT_EQ(SelectedAmong(grid_->Selection(), {1, 5}, {1, 5}), (Cells{{5, 5}}));

    Click(ColumnHeading(2));
    Click(ColumnHeading(4), MK_SHIFT);
    EXPECT_EQ(grid_->Current(), (GridCell{4, 1}));
    EXPECT_EQ(SelectedAmong(grid_->Selection(), {1, 2, 4, 5}, {1, 500}),
              (Cells{{2, 1}, {4, 1}, {2, 500}, {4, 500}}));
    Press(RowHeading(3));
    MoveTo(RowHeading(4));
    Release(RowHeading(4));
    EXPECT_EQ(SelectedAmong(grid_->Selection(), {1, 500}, {2, 3, 4, 5}),
              (Cells{{1, 3}, {500, 3}, {1, 4}, {500, 4}}));
    // The corner and Ctrl+A select every cell.
    const Cells corners{{1, 1}, {500, 1}, {1, 500}, {500, 500}};
    Click(POINT{1, 1});
    EXPECT_EQ(SelectedAmong(grid_->Selection(), {1, 500}, {1, 500}), corners);
    Click(GridCell{2, 2});
    Key('A', false, /*control=*/true);
    EXPECT_EQ(grid_->Current(), (GridCell{2, 2}));
    EXPECT_EQ(SelectedAmong(grid_->Selection(), {1, 500}, {1, 500}), corners);
}

// Past the edge the view scrolls along with the mouse, and on while the
// button is held, each time to the cell below the mouse.
TEST_F(Win32KeyGridTest, ADragPastTheEdgeScrollsTheViewAlongUntilReleased) {
    const POINT below{grid_->Metrics().rowHeaderWidth + 5,
                      grid_->Metrics().headerHeight + ViewSize().cy + 5};
    Press(CenterOf({1, 1}));
    MoveTo(below);
    const int afterMove = grid_->ScrollOffset().y;
    EXPECT_GT(afterMove, 0);
    EXPECT_TRUE(InSight(*grid_->Current()));
    testing::ServeUntil([] { return false; }, {}, 500ms);  // the timers run
    EXPECT_GT(grid_->ScrollOffset().y, afterMove);
    EXPECT_TRUE(InSight(*grid_->Current()));
    Release(below);
    const int afterRelease = grid_->ScrollOffset().y;
    testing::ServeUntil([] { return false; }, {}, 200ms);
    EXPECT_EQ(grid_->ScrollOffset().y, afterRelease);
    EXPECT_TRUE(grid_->Selection().IsCellSelected(1, grid_->Current()->row));
    EXPECT_TRUE(grid_->Selection().IsCellSelected(1, 1));
}

TEST_F(Win32KeyGridTest, MovingKeysWalkTheSheetAndStopAtItsEdges) {
    // Each key (with Ctrl or not) and the cell it makes current, brought into
    // sight: without a current cell the first key only makes the first cell
    // current; Page Down and Up go one view's height of rows.
    const int page = ViewSize().cy / grid_->Metrics().rowHeight;
    const std::vector<std::tuple<WPARAM, bool, GridCell>> steps = {
        {VK_DOWN, false, {1, 1}},     {VK_UP, false, {1, 1}},          {VK_LEFT, false, {1, 1}},
        {VK_DOWN, false, {1, 2}},     {VK_RIGHT, false, {2, 2}},       {VK_END, false, {500, 2}},
        {VK_HOME, false, {1, 2}},     {VK_NEXT, false, {1, 2 + page}}, {VK_PRIOR, false, {1, 2}},
        {VK_PRIOR, false, {1, 1}},    {VK_END, true, {500, 500}},      {VK_NEXT, false, {500, 500}},
        {VK_DOWN, false, {500, 500}}, {VK_RIGHT, false, {500, 500}}};
    for (const auto& [key, control, current] : steps) {
        Key(key, false, control);
        EXPECT_EQ(grid_->Current(), current) << key;
        EXPECT_TRUE(InSight(current)) << key;
        // At the first column or row the view is back at its start.
        EXPECT_TRUE(current.column != 1 || grid_->ScrollOffset().x == 0) << key;
        EXPECT_TRUE(current.row != 1 || grid_->ScrollOffset().y == 0) << key;
    }

    // Tab and Shift+Tab are the window's: they leave the grid for the next control.
    EXPECT_EQ(Send(WM_GETDLGCODE) & DLGC_WANTTAB, 0);
    Key(VK_TAB);
    EXPECT_EQ(grid_->Current(), (GridCell{500, 500}));
    EXPECT_FALSE(grid_->Selection().IsAnyBlockSelected());
}

TEST_F(Win32KeyGridTest, ScrollBarsAndTheWheelScrollByPixels) {
    const int rowHeight = grid_->Metrics().rowHeight;
    const int bottom = 500 * rowHeight - ViewSize().cy;
    const std::vector<std::pair<WPARAM, int>> scrolls = {{SB_LINEDOWN, rowHeight},
                                                         {SB_PAGEDOWN, rowHeight + ViewSize().cy},
                                                         {SB_BOTTOM, bottom},
                                                         {SB_LINEDOWN, bottom},
                                                         {SB_TOP, 0}};
    for (const auto& [code, offset] : scrolls) {
        Send(WM_VSCROLL, code);
        EXPECT_EQ(grid_->ScrollOffset().y, offset) << code;
        EXPECT_EQ(GetScrollPos(grid_->Handle(), SB_VERT), offset) << code;
    }
    Send(WM_HSCROLL, SB_LINEDOWN);
    EXPECT_EQ(grid_->ScrollOffset().x, grid_->Metrics().columnWidth);
    EXPECT_EQ(GetScrollPos(grid_->Handle(), SB_HORZ), grid_->Metrics().columnWidth);

    // A notch down scrolls the system's wheel lines; a fine wheel's smallest
    // steps (far below a pixel each) add up to the same.
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    ASSERT_NE(lines, WHEEL_PAGESCROLL);
    Send(WM_MOUSEWHEEL, Wheel(-WHEEL_DELTA));
    const int notch = static_cast<int>(lines) * rowHeight;
    EXPECT_EQ(grid_->ScrollOffset().y, notch);
    ASSERT_LT(notch, WHEEL_DELTA);
    for (int i = 0; i < WHEEL_DELTA; ++i)
        Send(WM_MOUSEWHEEL, Wheel(-1));
    EXPECT_EQ(grid_->ScrollOffset().y, 2 * notch);
    Send(WM_MOUSEWHEEL, Wheel(2 * WHEEL_DELTA));
    EXPECT_EQ(grid_->ScrollOffset().y, 0);

    // The mouse hits the cells that are in view.
    for (int i = 0; i < 10; ++i)
        Send(WM_VSCROLL, SB_LINEDOWN);
    Click(POINT{grid_->Metrics().rowHeaderWidth + 2, grid_->Metrics().headerHeight + 2});
    EXPECT_EQ(grid_->Current(), (GridCell{2, 11}));
}

TEST_F(Win32KeyGridTest, TypingStartsAnEditThatEnterKeepsInTheSheet) {
    Click(GridCell{2, 3});
    Send(WM_CHAR, L'K');
    const HWND editor = grid_->Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(GetFocus(), editor);
    testing::TypeChars(editor, L"12");
    EXPECT_EQ(grid_->GetSheet().CellText(2, 3), "");
    Key(VK_RETURN, false, false, editor);
    EXPECT_EQ(grid_->Editor(), nullptr);
    EXPECT_FALSE(IsWindow(editor));
    EXPECT_EQ(grid_->GetSheet().CellText(2, 3), "K12");
    EXPECT_EQ(grid_->Current(), (GridCell{2, 3}));
    EXPECT_EQ(GetFocus(), grid_->Handle());

    // Text goes into the sheet as Windows-1252, as the Qt grid stores it.
    Key(VK_RIGHT);
    Send(WM_CHAR, 0x00E9);                                 // é
    testing::TypeChars(grid_->Editor(), L"\u20AC\u4E00");  // € and a character 1252 lacks
    Key(VK_RETURN, false, false, grid_->Editor());
    EXPECT_EQ(grid_->GetSheet().CellText(3, 3), "\xE9\x80?");
}

TEST_F(Win32KeyGridTest, F2EditsTheCellsTextAndEscapeDropsTheEdit) {
    Sheet sheet;
    sheet.SetCellText(1, 1, "K\xE9");
    grid_->SetSheet(std::move(sheet));
    Click(GridCell{1, 1});
    Key(VK_F2);
    ASSERT_NE(grid_->Editor(), nullptr);
    EXPECT_EQ(testing::TextOf(grid_->Editor()), L"K\u00E9");
    // The whole text is selected: typing replaces it.
    testing::TypeChars(grid_->Editor(), L"x");
    EXPECT_EQ(testing::TextOf(grid_->Editor()), L"x");
    Key(VK_ESCAPE, false, false, grid_->Editor());
    EXPECT_EQ(grid_->Editor(), nullptr);
    EXPECT_EQ(grid_->GetSheet().CellText(1, 1), "K\xE9");

    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, At(CenterOf({1, 1})));
    ASSERT_NE(grid_->Editor(), nullptr);
    SendMessageW(grid_->Editor(), EM_SETSEL, 2, 2);
    testing::TypeChars(grid_->Editor(), L"7");
    Key(VK_RETURN, false, false, grid_->Editor());
    EXPECT_EQ(grid_->GetSheet().CellText(1, 1),
              "K\xE9"
              "7");
}

TEST_F(Win32KeyGridTest, TabInAnEditKeepsItAndEditsTheNextCell) {
    Sheet sheet;
    sheet.SetColumnCount(2);
    sheet.SetRowCount(2);
    sheet.SetCellText(1, 2, "K1");
    grid_->SetSheet(std::move(sheet));
    Click(GridCell{2, 1});
    Send(WM_CHAR, L'A');
    Key(VK_TAB, false, false, grid_->Editor());
    EXPECT_EQ(grid_->GetSheet().CellText(2, 1), "A");
    // Past the row's end the next row's first cell, with its text to edit.
    EXPECT_EQ(grid_->Current(), (GridCell{1, 2}));
    ASSERT_NE(grid_->Editor(), nullptr);
    EXPECT_EQ(testing::TextOf(grid_->Editor()), L"K1");
    testing::TypeChars(grid_->Editor(), L"B");
    Key(VK_TAB, /*shift=*/true, false, grid_->Editor());
    EXPECT_EQ(grid_->GetSheet().CellText(1, 2), "B");
    EXPECT_EQ(grid_->Current(), (GridCell{2, 1}));
    ASSERT_NE(grid_->Editor(), nullptr);
    Key(VK_ESCAPE, false, false, grid_->Editor());
    EXPECT_EQ(grid_->GetSheet().CellText(2, 1), "A");
    EXPECT_FALSE(grid_->Selection().IsAnyBlockSelected());
}

TEST_F(Win32KeyGridTest, LeavingAnEditForAnotherCellKeepsIt) {
    Click(GridCell{1, 1});
    Send(WM_CHAR, L'A');
    ASSERT_NE(grid_->Editor(), nullptr);
    Click(GridCell{2, 2});
    EXPECT_EQ(grid_->Editor(), nullptr);
    EXPECT_EQ(grid_->GetSheet().CellText(1, 1), "A");
    EXPECT_EQ(grid_->Current(), (GridCell{2, 2}));

    // The editor follows its cell when the view scrolls.
    Send(WM_CHAR, L'B');
    const RECT before = grid_->CellRect({2, 2});
    Send(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(testing::PlaceOf(grid_->Editor()).top, before.top - grid_->Metrics().rowHeight);
    Key(VK_RETURN, false, false, grid_->Editor());
    EXPECT_EQ(grid_->GetSheet().CellText(2, 2), "B");
}

TEST_F(Win32KeyGridTest, AHeadingsEdgeResizesItsColumn) {
    const int width = grid_->Metrics().columnWidth;
    const RECT second = grid_->CellRect({2, 1});
    const int headingY = grid_->Metrics().headerHeight / 2;
    Press(POINT{second.right - 1, headingY});
    MoveTo(POINT{second.right + 29, headingY});
    Release(POINT{second.right + 29, headingY});
    EXPECT_EQ(grid_->CellRect({2, 1}).right - grid_->CellRect({2, 1}).left, width + 30);
    EXPECT_EQ(grid_->CellRect({3, 1}).left, second.right + 30);
    EXPECT_FALSE(grid_->Current().has_value());  // the edge selects nothing
    EXPECT_EQ(ScrollInfo(SB_HORZ).nMax + 1, 500 * width + 30);

    // A second column narrower: the mouse finds the columns by their new edges.
    const RECT fifth = grid_->CellRect({5, 1});
    Press(POINT{fifth.left + 1, headingY});  // the left edge belongs to the fourth
    MoveTo(POINT{fifth.left - 19, headingY});
    Release(POINT{fifth.left - 19, headingY});
    EXPECT_EQ(grid_->CellRect({4, 1}).right - grid_->CellRect({4, 1}).left, width - 20);
    Click(POINT{second.right + 20, CenterOf({1, 3}).y});
    EXPECT_EQ(grid_->Current(), (GridCell{2, 3}));
    Click(POINT{grid_->CellRect({5, 1}).left + 5, CenterOf({1, 3}).y});
    EXPECT_EQ(grid_->Current(), (GridCell{5, 3}));
    Key(VK_END);
    EXPECT_EQ(grid_->ScrollOffset().x, 500 * width + 10 - ViewSize().cx);

    // No column shrinks away; a new sheet's columns are all alike again.
    Key(VK_HOME);
    const RECT third = grid_->CellRect({3, 1});
    Press(POINT{third.right - 1, headingY});
    MoveTo(POINT{third.right - 1000, headingY});
    Release(POINT{third.right - 1000, headingY});
    EXPECT_GT(grid_->CellRect({3, 1}).right - grid_->CellRect({3, 1}).left, 0);
    EXPECT_LT(grid_->CellRect({3, 1}).right - grid_->CellRect({3, 1}).left, width);
    grid_->SetSheet(Sheet());
    EXPECT_EQ(grid_->CellRect({3, 1}).left - grid_->CellRect({2, 1}).left, width);
}

TEST_F(Win32KeyGridTest, SizesFollowTheDpi) {
    const int rowHeightAt96 = grid_->Metrics().rowHeight;
    grid_->ApplyDpi(144);
    EXPECT_EQ(grid_->Metrics().columnWidth, 1260 * 144 / 1440);
    EXPECT_GT(grid_->Metrics().rowHeight, rowHeightAt96);
    Click(GridCell{3, 4});
    EXPECT_EQ(grid_->Current(), (GridCell{3, 4}));
    Send(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(grid_->ScrollOffset().y, 500 * grid_->Metrics().rowHeight - ViewSize().cy);
}

TEST_F(Win32KeyGridTest, SelectedBlocksFromTheModelComeIntoSight) {
    const std::array<int, 2> keyColumns{200, 201};
    const std::vector<GridRange> blocks = ColumnBlocks(keyColumns, 500);
    grid_->SelectBlocks(blocks, GridCell{200, 1});
    EXPECT_EQ(grid_->Current(), (GridCell{200, 1}));
    EXPECT_TRUE(InSight({200, 1}));
    EXPECT_TRUE(grid_->Selection().IsAnyBlockSelected());
    EXPECT_EQ(SelectedAmong(grid_->Selection(), {199, 200, 201, 202}, {1, 500}),
              (Cells{{200, 1}, {201, 1}, {200, 500}, {201, 500}}));
}

TEST_F(Win32KeyGridTest, ANewSheetDropsTheSelectionAndKeepsTheMouseInside) {
    Drag({5, 5}, {6, 6});
    Send(WM_VSCROLL, SB_PAGEDOWN);
    Sheet small;
    small.SetColumnCount(3);
    small.SetRowCount(2);
    grid_->SetSheet(std::move(small));
    EXPECT_FALSE(grid_->Current().has_value());
    EXPECT_FALSE(grid_->Selection().IsCellSelected(1, 1));
    EXPECT_EQ(grid_->ScrollOffset().y, 0);
    // Beyond the last column and row the nearest cell is hit.
    RECT client{};
    GetClientRect(grid_->Handle(), &client);
    Click(POINT{client.right - 2, client.bottom - 2});
    EXPECT_EQ(grid_->Current(), (GridCell{3, 2}));
    Key(VK_END, false, true);
    Key(VK_NEXT);
    EXPECT_EQ(grid_->Current(), (GridCell{3, 2}));
}

}  // namespace
}  // namespace bladeway::win32
