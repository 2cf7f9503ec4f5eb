#pragma once
// The substitution table editor (VarSub) as a Win32 window over
// SubstitutionTableModel, which keeps the table in VarTab.Dat, loads it when
// the program shows the editor, saves it on OK and lays the window out on
// every resize. Its grid is a KeyGrid over the saved sheet, cells in UTF-8.
// Making the window is its Load (its outer size from the settings file);
// closing it from its frame stores its place and size there and unloads
// it. It runs modally over the main window (SubstitutionTableModel's rule).
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/presentation/substitution_table_model.h"
#include "core/settings/saved_sheet.h"
#include "win32/kit/dialog_window.h"
#include "win32/kit/windows_api.h"
#include "win32/views/key_grid.h"

namespace bladeway::win32 {

class SubstitutionTableWindow final : public DialogWindow, private SubstitutionTableView {
  public:
    // The editor over `model`, which must outlive it, owned by `owner`.
    SubstitutionTableWindow(HWND owner, SubstitutionTableModel& model);
    ~SubstitutionTableWindow() override;

    KeyGrid& Grid() { return *grid_; }

    // Moves the window's outer top-left corner to `position` (twips), then
    // into the screen's free area where it would reach beyond it.
    void MoveToOuter(OuterPosition position);

  private:
    // SubstitutionTableView
    void ShowSheet(const SavedSheet& sheet) override;
    SavedSheet GridSheet() const override;
    void HideWindow(bool accepted) override;

    void OnCommand(int id, int code) override;
    void OnClose() override;
    void OnDpiChanged() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void LayOut();

    SubstitutionTableModel& model_;
    std::unique_ptr<KeyGrid> grid_;
    // What the sheet says and the grid does not show apart: the headers
    // (null for a default heading) and the rows' heights, given back as
    // they came, since the grid's rows all have one height; and the
    // columns' widths, given back for the columns the user left as they
    // were, so that a save after a load writes the same sizes at any DPI.
    std::vector<std::optional<std::string>> rowHeaders_;
    std::vector<std::optional<std::string>> columnHeaders_;
    std::vector<int> rowHeights_;
    std::vector<int> columnWidths_;
};

}  // namespace bladeway::win32
