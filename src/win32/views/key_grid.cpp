#include "win32/views/key_grid.h"

#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "core/presentation/main_window_model.h"
#include "core/presentation/table_metrics.h"
#include "win32/kit/dpi.h"
#include "win32/kit/sheet_text.h"
#include "win32/kit/wide_text.h"

namespace bladeway::win32 {
namespace {

constexpr const wchar_t* kClassName = L"BladewayKeyGrid";
constexpr UINT kDpiChangedAfterParent = 0x02E3;  // WM_DPICHANGED_AFTERPARENT, Windows 10 1607
constexpr UINT_PTR kEditorSubclass = 1;
// While a drag holds the mouse beyond the cells, the view goes on scrolling.
constexpr UINT_PTR kAutoScrollTimer = 1;
constexpr UINT kAutoScrollMilliseconds = 50;

bool Pressed(int key) {
    return GetKeyState(key) < 0;
}

void FillColor(HDC dc, const RECT& rect, int color) {
    FillRect(dc, &rect, GetSysColorBrush(color));
}

void DrawLine(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

}  // namespace

KeyGrid::KeyGrid(HWND parent, const RECT& place, int id) {
    RegisterClassOnce(kClassName, CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW));
    selection_.SetSheetSize(Cells().ColumnCount(), Cells().RowCount());
    // Sizes before the window exists: creating it already sends WM_SIZE.
    ApplyDpi(kDefaultDpi);
    columns_.Reset(Cells().ColumnCount(), metrics_.columnWidth);
    Create(kClassName, WS_EX_CLIENTEDGE,
           WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN, L"",
           place, parent, id);
    if (Handle() != nullptr)
        ApplyDpi(DpiOf(Handle()));
}

KeyGrid::~KeyGrid() {
    Destroy();
}

void KeyGrid::ShowSheet(EditableSheet& sheet) {
    EndEdit(false);
    sheet_ = &sheet;
    SheetReplaced();
}

void KeyGrid::SetSheet(Sheet sheet) {
    EndEdit(false);
    ownSheet_.Replace(std::move(sheet));
    sheet_ = &ownSheet_;
    SheetReplaced();
}

// An edit dropped writes nothing: the new sheet is never touched by it.
void KeyGrid::SheetReplaced() {
    EndEdit(false);
    selection_.SetSheetSize(Cells().ColumnCount(), Cells().RowCount());
    selection_.Clear();
    // A new sheet's columns start at the default width again.
    columns_.Reset(Cells().ColumnCount(), metrics_.columnWidth);
    scroll_ = {0, 0};
    ApplyDpi(metrics_.dpi);  // the row headings' width follows the row count
}

void KeyGrid::SetCellEncoding(CellEncoding encoding) {
    EndEdit(true);
    encoding_ = encoding;
    InvalidateRect(Handle(), nullptr, FALSE);
}

void KeyGrid::SetHeadings(std::vector<std::string> columns, std::vector<std::string> rows) {
    const auto wide = [](const std::vector<std::string>& texts) {
        std::vector<std::wstring> headings;
        headings.reserve(texts.size());
        for (const std::string& text : texts)
            headings.push_back(Wide(text));
        return headings;
    };
    columnHeadings_ = wide(columns);
    rowHeadings_ = wide(rows);
    ApplyDpi(metrics_.dpi);  // the row headings' width follows their texts
}

void KeyGrid::SetColumnWidth(int column, int width) {
    columns_.SetWidth(column, width);
    if (Handle() == nullptr)
        return;
    UpdateScrollBars();
    ScrollTo(scroll_.x, scroll_.y);
    PlaceEditor();
    InvalidateRect(Handle(), nullptr, FALSE);
}

void KeyGrid::SelectBlocks(std::span<const GridRange> blocks, GridCell current) {
    EndEdit(true);
    selection_.SelectBlocks(blocks, current);
    EnsureVisible(current);
    SelectionChanged();
}

RECT KeyGrid::CellRect(GridCell cell) const {
    const int left = metrics_.rowHeaderWidth + columns_.Left(cell.column) - scroll_.x;
    const int top = metrics_.headerHeight + (cell.row - 1) * metrics_.rowHeight - scroll_.y;
    return RECT{left, top, left + columns_.Width(cell.column), top + metrics_.rowHeight};
}

void KeyGrid::ApplyDpi(int dpi) {
    const int oldDpi = metrics_.dpi;
    metrics_.dpi = dpi;
    LOGFONTW font = MessageFontAt(dpi);
    font_.Reset(CreateFontIndirectW(&font));
    TEXTMETRICW text{};
    SIZE rowNumber{};
    {
        const WindowDc screen(nullptr);
        const SelectedObject selected(screen.Dc(), font_.Get());
        GetTextMetricsW(screen.Dc(), &text);
        // The widest row number is as wide as that many zeros.
        const std::wstring zeros(std::to_wstring(std::max(Cells().RowCount(), 1)).size(), L'0');
        GetTextExtentPoint32W(screen.Dc(), zeros.c_str(), static_cast<int>(zeros.size()),
                              &rowNumber);
        for (const std::wstring& heading : rowHeadings_) {
            SIZE extent{};
            GetTextExtentPoint32W(screen.Dc(), heading.c_str(), static_cast<int>(heading.size()),
                                  &extent);
            rowNumber.cx = std::max(rowNumber.cx, extent.cx);
        }
    }
    metrics_.columnWidth = std::max(TwipsToPixels(kKeyGridColumnWidth, dpi), 1);
    metrics_.minimumColumnWidth = static_cast<int>(text.tmMaxCharWidth) + 2 * ScaleToDpi(4, dpi);
    columns_.Rescale(metrics_.columnWidth);
    metrics_.rowHeight =
        std::max(static_cast<int>(text.tmHeight) + ScaleToDpi(kTableRowPadding, dpi), 1);
    metrics_.headerHeight = metrics_.rowHeight;
    metrics_.rowHeaderWidth = rowNumber.cx + ScaleToDpi(12, dpi);
    if (Handle() == nullptr)
        return;
    if (editor_ != nullptr)
        SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    UpdateScrollBars();
    ScrollTo(MulDiv(scroll_.x, dpi, oldDpi), MulDiv(scroll_.y, dpi, oldDpi));
    PlaceEditor();
    InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT KeyGrid::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // painting covers everything
        case WM_SIZE:
            UpdateScrollBars();
            ScrollTo(scroll_.x, scroll_.y);
            InvalidateRect(Handle(), nullptr, FALSE);
            return 0;
        case WM_VSCROLL:
            OnScroll(SB_VERT, LOWORD(wParam));
            return 0;
        case WM_HSCROLL:
            OnScroll(SB_HORZ, LOWORD(wParam));
            return 0;
        case WM_MOUSEWHEEL:
            OnWheel(GET_WHEEL_DELTA_WPARAM(wParam), false);
            return 0;
        case WM_MOUSEHWHEEL:
            OnWheel(GET_WHEEL_DELTA_WPARAM(wParam), true);
            return 0;
        case WM_LBUTTONDOWN:
            OnButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, wParam);
            return 0;
        case WM_LBUTTONDBLCLK:
            if (AreaAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) == Area::kCells)
                BeginEdit(std::nullopt);
            return 0;
        case WM_MOUSEMOVE:
            if ((wParam & MK_LBUTTON) != 0)
                OnMouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_RBUTTONDOWN:
            OnRightButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, wParam);
            return 0;
        case WM_LBUTTONUP:
            EndDrag();
            if (GetCapture() == Handle())
                ReleaseCapture();
            return 0;
        case WM_CAPTURECHANGED:
            EndDrag();
            return 0;
        case WM_TIMER:
            if (wParam == kAutoScrollTimer) {
                OnMouseMove(lastDragPoint_);
                return 0;
            }
            break;
        case WM_KEYDOWN:
            if (OnKeyDown(wParam))
                return 0;
            break;
        case WM_CHAR:
            // A character starts editing with it; control characters do not.
            if (wParam >= 0x20 && wParam != 0x7F)
                BeginEdit(static_cast<wchar_t>(wParam));
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                POINT point{};
                GetCursorPos(&point);
                ScreenToClient(Handle(), &point);
                if (resizing_ || ColumnEdgeAt(point)) {
                    SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
                    return TRUE;
                }
            }
            break;
        case WM_GETDLGCODE:
            // Tab and Shift+Tab go to the window: they leave the grid.
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(Handle(), nullptr, FALSE);
            return 0;
        case kDpiChangedAfterParent:
            ApplyDpi(DpiOf(Handle()));
            return 0;
        case WM_DESTROY:
            EndEdit(true);
            break;
        default:
            break;
    }
    return Default(message, wParam, lParam);
}

// --- Painting ---------------------------------------------------------------

void KeyGrid::Paint() {
    const PaintScope paint(Handle());
    RECT client{};
    GetClientRect(Handle(), &client);
    if (client.right <= 0 || client.bottom <= 0)
        return;
    // Drawn off screen and copied at once, so that nothing flickers.
    const MemoryDc buffer(paint.Dc());
    const Bitmap bitmap(CreateCompatibleBitmap(paint.Dc(), client.right, client.bottom));
    {
        const SelectedObject target(buffer.Dc(), bitmap.Get());
        const SelectedObject font(buffer.Dc(), font_.Get());
        SetBkMode(buffer.Dc(), TRANSPARENT);
        PaintCells(buffer.Dc(), client);
        PaintHeadings(buffer.Dc(), client);
        BitBlt(paint.Dc(), 0, 0, client.right, client.bottom, buffer.Dc(), 0, 0, SRCCOPY);
    }
}

void KeyGrid::PaintCells(HDC dc, const RECT& client) {
    FillColor(dc, client, COLOR_WINDOW);
    if (Cells().ColumnCount() == 0 || Cells().RowCount() == 0)
        return;
    const ViewExtent view = ViewSize();
    const int firstColumn = LeftVisibleColumn();
    const int lastColumn =
        std::min(Cells().ColumnCount(), columns_.ColumnAt(scroll_.x + std::max(view.width, 1) - 1));
    const int firstRow = TopVisibleRow();
    const int lastRow = std::min(
        Cells().RowCount(), (scroll_.y + std::max(view.height, 1) - 1) / metrics_.rowHeight + 1);
    // Only a block looks selected; a lone current cell shows just its frame.
    const GridSelectionRanges core = selection_.AsSheetSelection();
    const bool block = core.IsAnyBlockSelected();
    const int padding = ScaleToDpi(3, metrics_.dpi);
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = firstColumn; column <= lastColumn; ++column) {
            const RECT cell = CellRect({column, row});
            const bool selected = block && core.IsCellSelected(column, row);
            if (selected)
                FillColor(dc, cell, COLOR_HIGHLIGHT);
            const std::string_view bytes = Cells().CellText(column, row);
            if (bytes.empty())
                continue;
            const std::wstring text = CellWide(bytes);
            SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            RECT inside{cell.left + padding, cell.top, cell.right - padding, cell.bottom};
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inside,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
    }
    const Pen linePen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DLIGHT)));
    const SelectedObject pen(dc, linePen.Get());
    const RECT last = CellRect({lastColumn, lastRow});
    for (int column = firstColumn; column <= lastColumn; ++column) {
        const int x = CellRect({column, firstRow}).right - 1;
        DrawLine(dc, x, metrics_.headerHeight, x, last.bottom);
    }
    for (int row = firstRow; row <= lastRow; ++row) {
        const int y = CellRect({firstColumn, row}).bottom - 1;
        DrawLine(dc, metrics_.rowHeaderWidth, y, last.right, y);
    }
    if (const std::optional<GridCell> current = selection_.Current()) {
        const RECT cell = CellRect(*current);
        const int width = ScaleToDpi(2, metrics_.dpi);
        const HBRUSH frame =
            GetSysColorBrush(GetFocus() == Handle() ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW);
        for (int i = 0; i < width; ++i) {
            const RECT ring{cell.left + i, cell.top + i, cell.right - i, cell.bottom - i};
            FrameRect(dc, &ring, frame);
        }
    }
}

void KeyGrid::PaintHeadings(HDC dc, const RECT& client) {
    const RECT top{0, 0, client.right, metrics_.headerHeight};
    const RECT left{0, metrics_.headerHeight, metrics_.rowHeaderWidth, client.bottom};
    FillColor(dc, top, COLOR_BTNFACE);
    FillColor(dc, left, COLOR_BTNFACE);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    const Pen linePen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
    const SelectedObject pen(dc, linePen.Get());
    // The headings of a selected block's columns and rows show it.
    const GridSelectionRanges core = selection_.AsSheetSelection();
    const std::vector<GridRange> ranges =
        core.IsAnyBlockSelected() ? selection_.Ranges() : std::vector<GridRange>();
    const auto anyRange = [&ranges](auto&& holds) {
        return std::any_of(ranges.begin(), ranges.end(), holds);
    };
    const ViewExtent view = ViewSize();
    if (Cells().ColumnCount() > 0) {
        const int lastColumn = std::min(Cells().ColumnCount(),
                                        columns_.ColumnAt(scroll_.x + std::max(view.width, 1) - 1));
        for (int column = LeftVisibleColumn(); column <= lastColumn; ++column) {
            const RECT cell = CellRect({column, 1});
            RECT heading{cell.left, 0, cell.right, metrics_.headerHeight};
            if (anyRange([column](const GridRange& r) {
                    return column >= r.topLeft.column && column <= r.bottomRight.column;
                }))
                FillColor(dc, heading, COLOR_3DLIGHT);
            const std::wstring text = ColumnHeading(column);
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &heading,
                      DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
            DrawLine(dc, heading.right - 1, 0, heading.right - 1, metrics_.headerHeight);
        }
    }
    if (Cells().RowCount() > 0) {
        const int lastRow =
            std::min(Cells().RowCount(),
                     (scroll_.y + std::max(view.height, 1) - 1) / metrics_.rowHeight + 1);
        for (int row = TopVisibleRow(); row <= lastRow; ++row) {
            const RECT cell = CellRect({1, row});
            RECT heading{0, cell.top, metrics_.rowHeaderWidth, cell.bottom};
            if (heading.bottom <= metrics_.headerHeight)
                continue;
            if (anyRange([row](const GridRange& r) {
                    return row >= r.topLeft.row && row <= r.bottomRight.row;
                }))
                FillColor(dc, heading, COLOR_3DLIGHT);
            const std::wstring text = RowHeading(row);
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &heading,
                      DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
            DrawLine(dc, 0, heading.bottom - 1, metrics_.rowHeaderWidth, heading.bottom - 1);
        }
    }
    DrawLine(dc, 0, metrics_.headerHeight - 1, client.right, metrics_.headerHeight - 1);
    DrawLine(dc, metrics_.rowHeaderWidth - 1, 0, metrics_.rowHeaderWidth - 1, client.bottom);
    const RECT corner{0, 0, metrics_.rowHeaderWidth - 1, metrics_.headerHeight - 1};
    FillColor(dc, corner, COLOR_BTNFACE);
}

// --- Scrolling --------------------------------------------------------------

KeyGrid::ViewExtent KeyGrid::ViewSize() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    return ViewExtent{std::max(static_cast<int>(client.right) - metrics_.rowHeaderWidth, 0),
                      std::max(static_cast<int>(client.bottom) - metrics_.headerHeight, 0)};
}

void KeyGrid::UpdateScrollBars() {
    if (Handle() == nullptr)
        return;
    const ViewExtent view = ViewSize();
    const auto set = [this](int bar, int content, int page, int position) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        // Both bars always show, so that the client area never changes size.
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        info.nMin = 0;
        info.nMax = std::max(content - 1, 0);
        info.nPage = static_cast<UINT>(std::max(page, 0));
        info.nPos = position;
        SetScrollInfo(Handle(), bar, &info, TRUE);
    };
    set(SB_HORZ, columns_.Total(), view.width, scroll_.x);
    set(SB_VERT, Cells().RowCount() * metrics_.rowHeight, view.height, scroll_.y);
}

void KeyGrid::ScrollTo(int x, int y) {
    const ViewExtent view = ViewSize();
    const int maxX = std::max(columns_.Total() - view.width, 0);
    const int maxY = std::max(Cells().RowCount() * metrics_.rowHeight - view.height, 0);
    const ScrollPosition target{std::clamp(x, 0, maxX), std::clamp(y, 0, maxY)};
    if (target.x == scroll_.x && target.y == scroll_.y)
        return;
    scroll_ = target;
    UpdateScrollBars();
    PlaceEditor();
    InvalidateRect(Handle(), nullptr, FALSE);
}

void KeyGrid::OnScroll(int bar, WORD request) {
    const bool vertical = bar == SB_VERT;
    const ViewExtent view = ViewSize();
    const int line = vertical ? metrics_.rowHeight : metrics_.columnWidth;
    const int page = std::max(vertical ? view.height : view.width, line);
    int position = vertical ? scroll_.y : scroll_.x;
    switch (request) {
        case SB_LINEUP:
            position -= line;
            break;
        case SB_LINEDOWN:
            position += line;
            break;
        case SB_PAGEUP:
            position -= page;
            break;
        case SB_PAGEDOWN:
            position += page;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            // The 32-bit track position, not the 16 bits of the message.
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_TRACKPOS;
            GetScrollInfo(Handle(), bar, &info);
            position = info.nTrackPos;
            break;
        }
        case SB_TOP:
            position = 0;
            break;
        case SB_BOTTOM:
            position = std::numeric_limits<int>::max();
            break;
        default:
            return;
    }
    if (vertical)
        ScrollTo(scroll_.x, position);
    else
        ScrollTo(position, scroll_.y);
}

void KeyGrid::OnWheel(int delta, bool horizontal) {
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const ViewExtent view = ViewSize();
    const int line = horizontal ? metrics_.columnWidth : metrics_.rowHeight;
    const int perNotch = lines == WHEEL_PAGESCROLL ? (horizontal ? view.width : view.height)
                                                   : static_cast<int>(lines) * line;
    // Kept in 1/WHEEL_DELTA pixels, so that a fine wheel's small steps add up.
    int& rest = horizontal ? wheelRest_[1] : wheelRest_[0];
    rest += delta * perNotch;
    const int pixels = rest / WHEEL_DELTA;
    rest -= pixels * WHEEL_DELTA;
    if (horizontal)
        ScrollTo(scroll_.x + pixels, scroll_.y);
    else
        ScrollTo(scroll_.x, scroll_.y - pixels);
}

void KeyGrid::EnsureVisible(GridCell cell) {
    const ViewExtent view = ViewSize();
    const auto into = [](int position, int start, int size, int viewSize) {
        if (start < position || size >= viewSize)
            return start;
        if (start + size > position + viewSize)
            return start + size - viewSize;
        return position;
    };
    ScrollTo(into(scroll_.x, columns_.Left(cell.column), columns_.Width(cell.column), view.width),
             into(scroll_.y, (cell.row - 1) * metrics_.rowHeight, metrics_.rowHeight, view.height));
}

// --- Mouse and keys ---------------------------------------------------------

KeyGrid::Area KeyGrid::AreaAt(POINT point) const {
    const bool inTop = point.y < metrics_.headerHeight;
    const bool inLeft = point.x < metrics_.rowHeaderWidth;
    if (inTop && inLeft)
        return Area::kCorner;
    if (inTop)
        return Area::kColumnHeadings;
    if (inLeft)
        return Area::kRowHeadings;
    return Area::kCells;
}

// The cell under `point`; a point beyond the cells takes the nearest one.
GridCell KeyGrid::CellAt(POINT point) const {
    const int x = point.x - metrics_.rowHeaderWidth + scroll_.x;
    const int y = point.y - metrics_.headerHeight + scroll_.y;
    return GridCell{
        std::clamp(columns_.ColumnAt(x), 1, std::max(Cells().ColumnCount(), 1)),
        std::clamp(y < 0 ? 1 : y / metrics_.rowHeight + 1, 1, std::max(Cells().RowCount(), 1))};
}

int KeyGrid::TopVisibleRow() const {
    return std::clamp(scroll_.y / metrics_.rowHeight + 1, 1, std::max(Cells().RowCount(), 1));
}

int KeyGrid::LeftVisibleColumn() const {
    return std::clamp(columns_.ColumnAt(scroll_.x), 1, std::max(Cells().ColumnCount(), 1));
}

void KeyGrid::OnButtonDown(POINT point, WPARAM keys) {
    EndEdit(true);
    SetFocus(Handle());
    if (Cells().ColumnCount() == 0 || Cells().RowCount() == 0)
        return;
    if (const std::optional<int> edge = ColumnEdgeAt(point)) {
        // The edge of a column's heading resizes the column.
        resizing_ = Resizing{*edge, point.x, columns_.Width(*edge)};
        SetCapture(Handle());
        return;
    }
    const bool shift = (keys & MK_SHIFT) != 0;
    const bool control = (keys & MK_CONTROL) != 0;
    GridCell cell = CellAt(point);
    GridExtent extent = GridExtent::kCells;
    switch (AreaAt(point)) {
        case Area::kCorner:
            selection_.SelectAll();
            SelectionChanged();
            return;
        case Area::kColumnHeadings:
            // A column's heading makes the column's top visible cell current.
            cell.row = TopVisibleRow();
            extent = GridExtent::kColumns;
            break;
        case Area::kRowHeadings:
            cell.column = LeftVisibleColumn();
            extent = GridExtent::kRows;
            break;
        case Area::kCells:
            break;
    }
    selection_.Press(cell, extent, shift, control);
    dragging_ = extent;
    SetCapture(Handle());
    EnsureVisible(cell);
    SelectionChanged();
}

void KeyGrid::OnRightButtonDown(POINT point, WPARAM keys) {
    EndEdit(true);
    SetFocus(Handle());
    if (AreaAt(point) != Area::kCells || Cells().ColumnCount() == 0 || Cells().RowCount() == 0)
        return;
    // A plain press on a selected cell keeps the selection (for the context
    // menu) and only moves the current cell there; elsewhere it selects as a
    // left press does.
    const GridCell cell = CellAt(point);
    const bool shift = (keys & MK_SHIFT) != 0;
    const bool control = (keys & MK_CONTROL) != 0;
    if (!shift && !control && selection_.AsSheetSelection().IsCellSelected(cell.column, cell.row))
        selection_.MoveTo(cell, false, /*control=*/true);
    else
        selection_.Press(cell, GridExtent::kCells, shift, control);
    EnsureVisible(cell);
    SelectionChanged();
}

void KeyGrid::EndDrag() {
    dragging_.reset();
    resizing_.reset();
    KillTimer(Handle(), kAutoScrollTimer);
}

// The column whose heading's right edge is within a grip of `point`.
std::optional<int> KeyGrid::ColumnEdgeAt(POINT point) const {
    if (AreaAt(point) != Area::kColumnHeadings || Cells().ColumnCount() == 0)
        return std::nullopt;
    const int grip = ScaleToDpi(3, metrics_.dpi);
    const int column = CellAt(point).column;
    const RECT under = CellRect({column, 1});
    if (point.x >= under.right - grip)
        return column;
    if (point.x < under.left + grip && column > 1)
        return column - 1;
    return std::nullopt;
}

void KeyGrid::ResizeColumnTo(int x) {
    const int width =
        std::max(resizing_->startWidth + x - resizing_->startX, metrics_.minimumColumnWidth);
    if (width != columns_.Width(resizing_->column))
        SetColumnWidth(resizing_->column, width);
}

void KeyGrid::OnMouseMove(POINT point) {
    if (resizing_) {
        ResizeColumnTo(point.x);
        return;
    }
    if (!dragging_ || !selection_.Current())
        return;
    lastDragPoint_ = point;
    const ViewExtent view = ViewSize();
    // A heading's drag goes on only along its headings.
    const bool beyondColumns =
        point.x < metrics_.rowHeaderWidth || point.x >= metrics_.rowHeaderWidth + view.width;
    const bool beyondRows =
        point.y < metrics_.headerHeight || point.y >= metrics_.headerHeight + view.height;
    const bool beyond = (*dragging_ != GridExtent::kRows && beyondColumns) ||
                        (*dragging_ != GridExtent::kColumns && beyondRows);
    if (beyond)
        SetTimer(Handle(), kAutoScrollTimer, kAutoScrollMilliseconds, nullptr);
    else
        KillTimer(Handle(), kAutoScrollTimer);
    GridCell cell = CellAt(point);
    if (*dragging_ == GridExtent::kColumns)
        cell.row = selection_.Current()->row;
    else if (*dragging_ == GridExtent::kRows)
        cell.column = selection_.Current()->column;
    if (cell == *selection_.Current())
        return;
    selection_.DragTo(cell);
    // Beyond the edge the view follows the mouse.
    EnsureVisible(cell);
    SelectionChanged();
}

bool KeyGrid::OnKeyDown(WPARAM key) {
    if (key == VK_F2) {
        BeginEdit(std::nullopt);
        return true;
    }
    if (key == 'A' && Pressed(VK_CONTROL)) {
        selection_.SelectAll();
        SelectionChanged();
        return true;
    }
    switch (key) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END:
            break;
        default:
            return false;
    }
    if (Cells().ColumnCount() == 0 || Cells().RowCount() == 0)
        return true;
    const bool control = Pressed(VK_CONTROL);
    // Without a current cell the first key only makes the first cell current.
    const std::optional<GridCell> current = selection_.Current();
    const GridCell target = current ? Moved(*current, key, control) : GridCell{1, 1};
    selection_.MoveTo(target, Pressed(VK_SHIFT), control);
    EnsureVisible(target);
    SelectionChanged();
    return true;
}

GridCell KeyGrid::Moved(GridCell from, WPARAM key, bool control) const {
    const int columns = Cells().ColumnCount();
    const int rows = Cells().RowCount();
    const int height = metrics_.rowHeight;
    const int viewHeight = ViewSize().height;
    GridCell to = from;
    switch (key) {
        case VK_LEFT:
            to.column = std::max(from.column - 1, 1);
            break;
        case VK_RIGHT:
            to.column = std::min(from.column + 1, columns);
            break;
        case VK_UP:
            to.row = std::max(from.row - 1, 1);
            break;
        case VK_DOWN:
            to.row = std::min(from.row + 1, rows);
            break;
        case VK_HOME:
            to.column = 1;
            if (control)
                to.row = 1;
            break;
        case VK_END:
            to.column = columns;
            if (control)
                to.row = rows;
            break;
        case VK_PRIOR: {
            // The row a view's height above the current cell's bottom edge.
            const int y = from.row * height - 1 - viewHeight;
            to.row = y < 0 ? 1 : y / height + 1;
            break;
        }
        case VK_NEXT: {
            const int y = (from.row - 1) * height + viewHeight;
            to.row = std::min(y / height + 1, rows);
            break;
        }
        default:
            break;
    }
    return to;
}

// The next cell in reading order, from the last one back to the first.
GridCell KeyGrid::Tabbed(GridCell from, bool back) const {
    const int columns = Cells().ColumnCount();
    const int rows = Cells().RowCount();
    if (back) {
        if (from.column > 1)
            return GridCell{from.column - 1, from.row};
        return GridCell{columns, from.row > 1 ? from.row - 1 : rows};
    }
    if (from.column < columns)
        return GridCell{from.column + 1, from.row};
    return GridCell{1, from.row < rows ? from.row + 1 : 1};
}

void KeyGrid::SelectionChanged() {
    InvalidateRect(Handle(), nullptr, FALSE);
}

std::wstring KeyGrid::CellWide(std::string_view bytes) const {
    if (encoding_ == CellEncoding::kUtf8)
        return Wide(bytes);
    return WideFromCellBytes(bytes);
}

std::string KeyGrid::CellBytes(std::wstring_view text) const {
    if (encoding_ == CellEncoding::kUtf8)
        return Utf8(text);
    return CellBytesFromWide(text);
}

std::wstring KeyGrid::ColumnHeading(int column) const {
    if (column >= 1 && static_cast<std::size_t>(column) <= columnHeadings_.size())
        return columnHeadings_[static_cast<std::size_t>(column - 1)];
    return Wide(KeyGridColumnHeading(Cells(), column - 1).value_or(std::string()));
}

std::wstring KeyGrid::RowHeading(int row) const {
    if (row >= 1 && static_cast<std::size_t>(row) <= rowHeadings_.size())
        return rowHeadings_[static_cast<std::size_t>(row - 1)];
    return std::to_wstring(KeyGridRowHeading(Cells(), row - 1).value_or(row));
}

// --- Editing in place -------------------------------------------------------

void KeyGrid::BeginEdit(std::optional<wchar_t> typed) {
    const std::optional<GridCell> current = selection_.Current();
    if (editor_ != nullptr || !current)
        return;
    EnsureVisible(*current);
    // Typing replaces the cell's text; F2 and a double-click edit it.
    const std::wstring text =
        typed ? std::wstring(1, *typed) : CellWide(Cells().CellText(current->column, current->row));
    const RECT cell = CellRect(*current);
    editor_ = CreateWindowExW(0, WC_EDITW, text.c_str(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                              cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top,
                              Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (editor_ == nullptr)
        return;
    editing_ = current;
    SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    SetWindowSubclass(editor_, &KeyGrid::EditorProcedure, kEditorSubclass,
                      reinterpret_cast<DWORD_PTR>(this));
    const auto length = text.size();
    SendMessageW(editor_, EM_SETSEL, typed ? length : 0, static_cast<LPARAM>(length));
    SetFocus(editor_);
}

void KeyGrid::EndEdit(bool keep) {
    if (editor_ == nullptr)
        return;
    // Cleared first: the editor's losing the focus below must not end it again.
    const HWND editor = std::exchange(editor_, nullptr);
    const GridCell cell = *std::exchange(editing_, std::nullopt);
    if (keep) {
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(editor)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(editor, text.data(), static_cast<int>(text.size()))));
        sheet_->EditCell(cell.column, cell.row, CellBytes(text));
    }
    RemoveWindowSubclass(editor, &KeyGrid::EditorProcedure, kEditorSubclass);
    if (GetFocus() == editor)
        SetFocus(Handle());
    DestroyWindow(editor);
    InvalidateRect(Handle(), nullptr, FALSE);
}

// Tab in the editor keeps the edit and edits the next cell (Shift+Tab:
// the one before), which becomes the current cell alone.
void KeyGrid::EditNextCell(bool back) {
    const std::optional<GridCell> edited = editing_;
    EndEdit(true);
    if (!edited)
        return;
    const GridCell next = Tabbed(*edited, back);
    selection_.MoveTo(next, false, false);
    EnsureVisible(next);
    SelectionChanged();
    BeginEdit(std::nullopt);
}

void KeyGrid::PlaceEditor() {
    if (editor_ == nullptr || !editing_)
        return;
    const RECT cell = CellRect(*editing_);
    SetWindowPos(editor_, nullptr, cell.left, cell.top, cell.right - cell.left,
                 cell.bottom - cell.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK KeyGrid::EditorProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR /*id*/, DWORD_PTR data) {
    auto* grid = reinterpret_cast<KeyGrid*>(data);
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DefSubclassProc(hwnd, message, wParam, lParam);
        case WM_KEYDOWN:
            if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
                grid->EndEdit(wParam == VK_RETURN);
                return 0;
            }
            if (wParam == VK_TAB) {
                grid->EditNextCell(GetKeyState(VK_SHIFT) < 0);
                return 0;
            }
            break;
        case WM_CHAR:
            // Enter, Escape and Tab are not text (and would beep).
            if (wParam == L'\r' || wParam == L'\n' || wParam == 0x1B || wParam == L'\t')
                return 0;
            break;
        case WM_KILLFOCUS:
            // Leaving the editor keeps what was typed.
            if (grid->editor_ == hwnd) {
                grid->EndEdit(true);
                return 0;
            }
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace bladeway::win32
