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
#include "core/presentation/substitution_table_opening.h"
#include "core/settings/saved_sheet.h"
#include "core/settings/settings_file.h"
#include "core/storage/file_system.h"
#include "win32/kit/dialog_window.h"
#include "win32/kit/windows_api.h"
#include "win32/views/key_grid.h"

namespace bladeway::win32 {

class SubstitutionTableWindow final : public DialogWindow, private SubstitutionTableView {
  public:
    // The editor of the table file `tableFile`, read and written through
    // `fileSystem`, which must outlive it, owned by `owner`.
    SubstitutionTableWindow(HWND owner, SettingsFile settings, std::string tableFile,
                            FileSystem& fileSystem);
    ~SubstitutionTableWindow() override;

    KeyGrid& Grid() { return *grid_; }
    const SubstitutionTableModel& Model() const { return model_; }

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

    SubstitutionTableModel model_;
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

// Keeps the editor between uses, as the main window's Vars button needs it
// (OpenSubstitutionTable): made on first use, kept while hidden, made afresh
// after it was closed from its frame.
class SubstitutionTableHolder final : private SubstitutionTableWindows {
  public:
    SubstitutionTableHolder(HWND owner, SettingsFile settings, std::string tableFile,
                            FileSystem& fileSystem);
    ~SubstitutionTableHolder() override;
    SubstitutionTableHolder(const SubstitutionTableHolder&) = delete;
    SubstitutionTableHolder& operator=(const SubstitutionTableHolder&) = delete;

    // The editor, made (and so loaded) when it is not.
    SubstitutionTableWindow& Editor();
    bool IsLoaded() const { return window_ != nullptr; }

    // The Vars button: shows the editor modally at the place the settings
    // keep; returns once it is hidden or unloaded.
    void Open();

  private:
    bool IsMade() const override { return IsLoaded(); }
    void Make() override;
    OuterPosition StoredPosition() const override { return window_->Model().StoredPosition(); }
    bool IsUnloaded() const override { return window_->Model().Unloaded(); }
    void ShowModalAt(OuterPosition position) override;
    void Unmake() override { window_.reset(); }

    HWND owner_;
    SettingsFile settings_;
    std::string tableFile_;
    FileSystem& fileSystem_;
    std::unique_ptr<SubstitutionTableWindow> window_;
};

}  // namespace bladeway::win32
