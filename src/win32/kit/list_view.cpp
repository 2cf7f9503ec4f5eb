#include "win32/kit/list_view.h"

#include <algorithm>
#include <iterator>
#include <limits>

#include "win32/kit/dpi.h"
#include "win32/kit/gdi.h"
#include "win32/kit/wide_text.h"

namespace bladeway::win32 {

void SetUpTable(HWND list, std::span<const std::string_view> captions) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    int index = 0;
    for (const std::string_view caption : captions) {
        std::wstring text = Wide(caption);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = text.data();
        column.cx = 80;
        column.iSubItem = index;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&column));
        ++index;
    }
}

void AppendTableRow(HWND list, std::span<const std::string> cells, LPARAM data) {
    const auto item = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (std::size_t column = 0; column < cells.size(); ++column) {
        std::wstring text = Wide(cells[column]);
        LVITEMW cell{};
        cell.iItem = item;
        cell.iSubItem = static_cast<int>(column);
        cell.pszText = text.data();
        if (column == 0) {
            cell.mask = LVIF_TEXT | LVIF_PARAM;
            cell.lParam = data;
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&cell));
        } else {
            cell.mask = LVIF_TEXT;
            SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&cell));
        }
    }
}

namespace {

// The heading's text and the margins a header item draws on either side
// (three edges each). Measured here: Wine's LVSCW_AUTOSIZE_USEHEADER makes
// a column other than the last too narrow for its heading.
int HeadingWidth(HWND list, int column) {
    wchar_t text[256] = {};
    LVCOLUMNW heading{};
    heading.mask = LVCF_TEXT;
    heading.pszText = text;
    heading.cchTextMax = static_cast<int>(std::size(text));
    ListView_GetColumn(list, column, &heading);
    return ListView_GetStringWidth(list, text) +
           ScaleToDpi(6 * GetSystemMetrics(SM_CXEDGE), DpiOf(list));
}

// A cell's text and the margins a list view draws on either side of it.
int CellWidth(HWND list, const std::wstring& text) {
    return ListView_GetStringWidth(list, text.c_str()) + ScaleToDpi(12, DpiOf(list));
}

int AverageCharacterWidth(HWND list) {
    const WindowDc screen(list);
    const SelectedObject font(screen.Dc(),
                              reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.Dc(), &metrics);
    return metrics.tmAveCharWidth;
}

}  // namespace

void FitTableColumn(HWND list, int column) {
    ListView_SetColumnWidth(list, column, LVSCW_AUTOSIZE);
    const int cells = ListView_GetColumnWidth(list, column);
    ListView_SetColumnWidth(list, column, std::max(cells, HeadingWidth(list, column)));
}

void FitTableColumns(HWND list, int widestCharacters) {
    const int count = Header_GetItemCount(ListView_GetHeader(list));
    const int widest = widestCharacters > 0 ? widestCharacters * AverageCharacterWidth(list)
                                            : std::numeric_limits<int>::max();
    for (int column = 0; column + 1 < count; ++column) {
        FitTableColumn(list, column);
        if (ListView_GetColumnWidth(list, column) > widest)
            ListView_SetColumnWidth(list, column, widest);
    }
    // The last one: its heading's width also fills what is left.
    ListView_SetColumnWidth(list, count - 1, LVSCW_AUTOSIZE);
    const int cells = std::min(ListView_GetColumnWidth(list, count - 1), widest);
    ListView_SetColumnWidth(list, count - 1, LVSCW_AUTOSIZE_USEHEADER);
    if (cells > ListView_GetColumnWidth(list, count - 1))
        ListView_SetColumnWidth(list, count - 1, cells);
}

std::wstring CutCellTextAt(HWND list, POINT point) {
    LVHITTESTINFO hit{};
    hit.pt = point;
    if (ListView_SubItemHitTest(list, &hit) < 0 || hit.iItem < 0)
        return {};
    std::wstring text = TableCellText(list, hit.iItem, hit.iSubItem);
    if (CellWidth(list, text) <= ListView_GetColumnWidth(list, hit.iSubItem))
        return {};
    return text;
}

std::wstring TableCellText(HWND list, int item, int column) {
    std::wstring text(4096, L'\0');
    LVITEMW cell{};
    cell.iSubItem = column;
    cell.pszText = text.data();
    cell.cchTextMax = static_cast<int>(text.size());
    const auto length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                                     reinterpret_cast<LPARAM>(&cell));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

LPARAM TableRowData(HWND list, int item) {
    LVITEMW row{};
    row.mask = LVIF_PARAM;
    row.iItem = item;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&row));
    return row.lParam;
}

COLORREF ColourOf(const Rgb& colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

}  // namespace bladeway::win32
