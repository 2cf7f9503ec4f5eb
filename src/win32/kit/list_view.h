#pragma once
// The common list view in report style, as the windows' tables use it: a
// row of cells per item, the item's data its row in the model.
#include <span>
#include <string>
#include <string_view>

#include "core/presentation/control_text.h"
#include "win32/kit/windows_api.h"

namespace bladeway::win32 {

// The report-style styles every table takes.
inline constexpr DWORD kTableStyle =
    WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;

// Full-row selection and the headings' captions (UTF-8).
void SetUpTable(HWND list, std::span<const std::string_view> captions);
// Appends a row of UTF-8 cells; `data` is kept with it.
void AppendTableRow(HWND list, std::span<const std::string> cells, LPARAM data);
// The column as wide as its heading or its widest cell.
void FitTableColumn(HWND list, int column);
// Each column as wide as its heading or its widest cell, but no wider than
// `widestCharacters` average characters when that is above 0; the last one
// also fills what is left.
void FitTableColumns(HWND list, int widestCharacters = 0);
// The text of the cell at `point` (client coordinates) when its column cuts
// it short; empty for a cell shown whole or no cell.
std::wstring CutCellTextAt(HWND list, POINT point);
std::wstring TableCellText(HWND list, int item, int column);
LPARAM TableRowData(HWND list, int item);

COLORREF ColourOf(const Rgb& colour);

}  // namespace bladeway::win32
