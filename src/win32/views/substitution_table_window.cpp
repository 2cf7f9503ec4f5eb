#include "win32/views/substitution_table_window.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include <climits>

#include "core/keydata/sheet.h"
#include "win32/kit/dpi.h"

namespace bladeway::win32 {
namespace {

constexpr const wchar_t* kClassName = L"BladewaySubstitutionTable";
// A dialog the user can size: the model lays it out again at every size.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

// Twips as pixels at `dpi`, saturated so that absurd stored values cannot wrap.
int ScreenPixels(std::int64_t twips, int dpi) {
    return TwipsToPixels(std::clamp<std::int64_t>(twips, INT_MIN, INT_MAX), dpi);
}

// A saved sheet's sizes are pixels at 96 DPI (saved_sheet.h), whatever the
// screen's DPI.
int SheetPixels(int gridPixels, int dpi) {
    return MulDiv(gridPixels, kDefaultDpi, dpi);
}

int GridPixels(int sheetPixels, int dpi) {
    return MulDiv(sheetPixels, dpi, kDefaultDpi);
}

}  // namespace

SubstitutionTableWindow::SubstitutionTableWindow(HWND owner, SubstitutionTableModel& model)
    : model_(model) {
    model_.SetView(this);
    if (!CreateFrame(kClassName, SubstitutionTableModel::Caption(),
                     SubstitutionTableModel::ClientSize(), owner, kStyle))
        return;
    // In the table's order, which is the tab order: the grid, Cancel, OK.
    // Neither button is the default: Enter belongs to the grid.
    for (const ControlPlace& control : SubstitutionTableModel::Controls()) {
        if (control.objectName == kSubstitutionTableGridName) {
            AddControl(control, [this](const RECT& place, int id) {
                grid_ = std::make_unique<KeyGrid>(Handle(), place, id);
                return grid_->Handle();
            });
        } else {
            AddControl(control, WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON,
                       control.objectName == kSubstitutionTableOkName
                           ? kSubstitutionTableOkCaption
                           : kSubstitutionTableCancelCaption);
        }
    }
    grid_->SetCellEncoding(CellEncoding::kUtf8);
    ShowSheet(SubstitutionTableModel::FirstSheet());
    LayOut();

    // Load.
    const OuterSize stored = model_.StoredSize();
    SetWindowPos(Handle(), nullptr, 0, 0, ScreenPixels(stored.width, Dpi()),
                 ScreenPixels(stored.height, Dpi()), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SubstitutionTableWindow::~SubstitutionTableWindow() {
    grid_.reset();
    Destroy();
    model_.SetView(nullptr);
}

// A place kept from a larger screen, or a size kept from earlier in the
// session, still shows the whole window.
void SubstitutionTableWindow::MoveToOuter(OuterPosition position) {
    MoveTo(ScreenPixels(position.left, Dpi()), ScreenPixels(position.top, Dpi()));
    KeepOnScreen();
}

void SubstitutionTableWindow::LayOut() {
    if (!grid_ || Control(kSubstitutionTableOkName) == nullptr ||
        Control(kSubstitutionTableCancelName) == nullptr)
        return;
    const PixelRect outer = OuterRect();
    const SubstitutionTableLayout layout = model_.LayOut(TwipsOf(static_cast<int>(outer.height)),
                                                         TwipsOf(static_cast<int>(outer.width)));
    PlaceControl(kSubstitutionTableGridName, layout.grid);
    PlaceControl(kSubstitutionTableOkName, layout.ok);
    PlaceControl(kSubstitutionTableCancelName, layout.cancel);
}

// SubstitutionTableView

void SubstitutionTableWindow::ShowSheet(const SavedSheet& sheet) {
    Sheet cells;
    cells.SetColumnCount(sheet.columnCount);
    cells.SetRowCount(sheet.rowCount);
    for (const auto& [place, text] : sheet.cells)
        cells.SetCellText(place.second + 1, place.first + 1, text);
    grid_->SetSheet(std::move(cells));
    grid_->SetHeadings(ShownHeadings(sheet.columnHeaders), ShownHeadings(sheet.rowHeaders));
    const int dpi = grid_->Metrics().dpi;
    for (int column = 1; column <= sheet.columnCount; ++column) {
        grid_->SetColumnWidth(
            column, GridPixels(sheet.columnWidths[static_cast<std::size_t>(column - 1)], dpi));
    }
    rowHeaders_ = sheet.rowHeaders;
    columnHeaders_ = sheet.columnHeaders;
    rowHeights_ = sheet.rowHeights;
    columnWidths_ = sheet.columnWidths;
}

SavedSheet SubstitutionTableWindow::GridSheet() const {
    const Sheet& cells = grid_->GetSheet();
    SavedSheet sheet;
    sheet.rowCount = cells.RowCount();
    sheet.columnCount = cells.ColumnCount();
    sheet.rowHeaders = rowHeaders_;
    sheet.columnHeaders = columnHeaders_;
    sheet.rowHeights = rowHeights_;
    const int dpi = grid_->Metrics().dpi;
    for (int column = 1; column <= sheet.columnCount; ++column) {
        const int given = columnWidths_[static_cast<std::size_t>(column - 1)];
        const int shown = grid_->ColumnWidth(column);
        sheet.columnWidths.push_back(
            shown == std::max(GridPixels(given, dpi), 1) ? given : SheetPixels(shown, dpi));
        for (int row = 1; row <= sheet.rowCount; ++row) {
            const std::string_view text = cells.CellText(column, row);
            if (!text.empty())
                sheet.cells.emplace(std::pair(row - 1, column - 1), std::string(text));
        }
    }
    return sheet;
}

void SubstitutionTableWindow::HideWindow(bool accepted) {
    EndModal(accepted ? IDOK : IDCANCEL);
}

// Escape comes as IDCANCEL and presses Cancel; Enter's IDOK is no button's.
void SubstitutionTableWindow::OnCommand(int id, int code) {
    if (id == ControlId(kSubstitutionTableOkName) && code == BN_CLICKED)
        (void)model_.Ok();
    else if (id == IDCANCEL ||
             (id == ControlId(kSubstitutionTableCancelName) && code == BN_CLICKED))
        model_.Cancel();
}

// The close box and Alt+F4: the model keeps the place and size, and unloads.
void SubstitutionTableWindow::OnClose() {
    const PixelRect outer = OuterRect();
    const auto twips = [this](std::int64_t pixels) { return TwipsOf(static_cast<int>(pixels)); };
    model_.ClosedByFrame({twips(outer.top), twips(outer.left)},
                         {twips(outer.height), twips(outer.width)});
    EndModal(IDCANCEL);
}

// Systems before per-monitor v2 send the grid no DPI change of its own.
void SubstitutionTableWindow::OnDpiChanged() {
    grid_->ApplyDpi(Dpi());
}

LRESULT SubstitutionTableWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED)
                LayOut();
            break;
        case WM_SHOWWINDOW:
            // Shown by the program, not again with its owner by the system.
            if (wParam != FALSE && lParam == 0)
                (void)model_.Shown();
            break;
        case WM_SETFOCUS:
            if (grid_)
                SetFocus(grid_->Handle());
            return 0;
        case WM_GETMINMAXINFO: {
            // Never so small that the buttons would leave the window, a
            // stored size of nothing included.
            auto& limits = *reinterpret_cast<MINMAXINFO*>(lParam);
            limits.ptMinTrackSize = POINT{ScreenPixels(SmallestSubstitutionTableWidth(), Dpi()),
                                          ScreenPixels(SmallestSubstitutionTableHeight(), Dpi())};
            return 0;
        }
        default:
            break;
    }
    return DialogWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace bladeway::win32
