#pragma once
// The key grid (KeyData) as a Win32 control: a core Sheet, one column per
// key, with column letters and row numbers as fixed headings
// (key_grid_rules.h), a current cell and a selection made by the core's
// GridSelection (grid_selection_gestures.h), scrolling by pixels (scroll
// bars and the wheel), the moving keys, and editing in place (F2,
// double-click or typing starts; Enter keeps, Escape drops, Tab keeps and
// edits the next cell), Ctrl+A for every cell, and columns resized by the
// edge of their heading (ColumnWidths, column_widths.h). The sheet
// stays the only store of the keys: cells show decoded from Windows-1252 and
// edits go back encoded. Painting touches only the visible cells.
// The grid shows the sheet of its owner (the main window model's key sheet),
// or one of its own (the substitution table's, with its own headings and its
// cells in UTF-8).
#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/presentation/column_widths.h"
#include "core/presentation/editable_sheet.h"
#include "core/presentation/grid_selection_gestures.h"
#include "core/presentation/key_grid_rules.h"
#include "win32/kit/gdi.h"
#include "win32/kit/window.h"
#include "win32/kit/windows_api.h"

namespace bladeway::win32 {

// The grid's sizes in pixels at its DPI.
struct KeyGridMetrics {
    int dpi = 96;
    int columnWidth = 0;  // a column's width until the user resizes it
    int minimumColumnWidth = 0;
    int rowHeight = 0;
    int headerHeight = 0;
    int rowHeaderWidth = 0;
};

// How far the cells are scrolled, in pixels.
struct ScrollPosition {
    int x = 0;
    int y = 0;
};

// How a sheet's cell bytes are text.
enum class CellEncoding {
    kWindows1252,  // the key data files' bytes
    kUtf8,
};

class KeyGrid final : public Window {
  public:
    // The control, a child of `parent` at `place` (client pixels).
    KeyGrid(HWND parent, const RECT& place, int id);
    ~KeyGrid() override;

    const Sheet& GetSheet() const { return sheet_->Cells(); }
    // Shows and edits `sheet` from now on, which outlives the grid.
    void ShowSheet(EditableSheet& sheet);
    // Replaces the grid's own sheet and shows it.
    void SetSheet(Sheet sheet);
    // The shown sheet has been replaced whole: an edit going on is dropped,
    // the selection and the current cell go, the view goes back to the
    // top-left corner.
    void SheetReplaced();

    // Cells are Windows-1252 until told otherwise.
    void SetCellEncoding(CellEncoding encoding);
    // Headings in place of the key grid's own (letters, numbers), from the
    // first column and row on; sections beyond these lists keep their own.
    // A new sheet keeps them.
    void SetHeadings(std::vector<std::string> columns, std::vector<std::string> rows);
    // The heading a column or a row (from 1) shows.
    std::wstring ColumnHeading(int column) const;
    std::wstring RowHeading(int row) const;

    // A column's width in pixels at the grid's DPI, from 1; below 1 counts as 1.
    int ColumnWidth(int column) const { return columns_.Width(column); }
    void SetColumnWidth(int column, int width);

    std::optional<GridCell> Current() const { return selection_.Current(); }
    GridSelectionRanges Selection() const { return selection_.AsSheetSelection(); }
    // Selects exactly these blocks with the current cell at `current`, which
    // comes into sight.
    void SelectBlocks(std::span<const GridRange> blocks, GridCell current);

    ScrollPosition ScrollOffset() const { return scroll_; }
    const KeyGridMetrics& Metrics() const { return metrics_; }
    // Where a cell lies in the client area now (it may lie outside it).
    RECT CellRect(GridCell cell) const;
    // The in-place editor while a cell is being edited.
    HWND Editor() const { return editor_; }

    // Takes the sizes for `dpi` (the window's DPI changed).
    void ApplyDpi(int dpi);

  private:
    enum class Area { kCorner, kColumnHeadings, kRowHeadings, kCells };

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    static LRESULT CALLBACK EditorProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR id, DWORD_PTR data);

    void Paint();
    void PaintCells(HDC dc, const RECT& client);
    void PaintHeadings(HDC dc, const RECT& client);

    // The part of the client area that shows cells.
    struct ViewExtent {
        int width = 0;
        int height = 0;
    };
    ViewExtent ViewSize() const;
    void UpdateScrollBars();
    void ScrollTo(int x, int y);
    void OnScroll(int bar, WORD request);
    void OnWheel(int delta, bool horizontal);
    void EnsureVisible(GridCell cell);

    Area AreaAt(POINT point) const;
    GridCell CellAt(POINT point) const;
    int TopVisibleRow() const;
    int LeftVisibleColumn() const;

    void OnButtonDown(POINT point, WPARAM keys);
    void OnRightButtonDown(POINT point, WPARAM keys);
    void OnMouseMove(POINT point);
    void EndDrag();
    std::optional<int> ColumnEdgeAt(POINT point) const;
    void ResizeColumnTo(int x);
    bool OnKeyDown(WPARAM key);
    GridCell Moved(GridCell from, WPARAM key, bool control) const;
    GridCell Tabbed(GridCell from, bool back) const;

    void BeginEdit(std::optional<wchar_t> typed);
    void EndEdit(bool keep);
    void EditNextCell(bool back);
    void PlaceEditor();

    void SelectionChanged();
    std::wstring CellWide(std::string_view bytes) const;
    std::string CellBytes(std::wstring_view text) const;

    const Sheet& Cells() const { return sheet_->Cells(); }

    OwnedSheet ownSheet_;
    EditableSheet* sheet_ = &ownSheet_;
    CellEncoding encoding_ = CellEncoding::kWindows1252;
    std::vector<std::wstring> columnHeadings_;  // from column 1
    std::vector<std::wstring> rowHeadings_;     // from row 1
    GridSelection selection_;
    KeyGridMetrics metrics_;
    Font font_;
    ScrollPosition scroll_;
    std::array<int, 2> wheelRest_{};  // vertical, horizontal
    std::optional<GridExtent> dragging_;
    POINT lastDragPoint_{0, 0};
    ColumnWidths columns_;
    // A column being resized by its heading's edge.
    struct Resizing {
        int column = 0;
        int startX = 0;
        int startWidth = 0;
    };
    std::optional<Resizing> resizing_;
    HWND editor_ = nullptr;
    std::optional<GridCell> editing_;
};

}  // namespace bladeway::win32
