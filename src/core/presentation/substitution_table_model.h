#pragma once
// The substitution table editor VarSub without widgets: one grid, VSub, with
// a table of values for the letter variables, kept in VarTab.Dat. Showing
// the editor loads the file over the grid (a missing or damaged file leaves
// the grid as it is, and nothing is said); OK saves the grid and hides the
// editor, Cancel hides it; either way the grid keeps what it holds until the
// next showing loads the file again. Neither button is the default: Enter
// belongs to the grid, and Escape presses Cancel.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/presentation/substitution_table_rules.h"
#include "core/presentation/twips.h"
#include "core/presentation/window_place.h"
#include "core/settings/saved_sheet.h"
#include "core/settings/settings_file.h"
#include "core/storage/file_system.h"

namespace bladeway {

inline constexpr std::string_view kSubstitutionTableOkCaption = "OK";
inline constexpr std::string_view kSubstitutionTableCancelCaption = "Cancel";

// The controls by role, under the names the table, the views and their tests
// know them by.
inline constexpr std::string_view kSubstitutionTableGridName = "VSub";
inline constexpr std::string_view kSubstitutionTableOkName = "BtnOK";
inline constexpr std::string_view kSubstitutionTableCancelName = "BtnCan";

// The controls in their design places, in tab order: the grid, Cancel, OK.
// Each resize lays them out again (SubstitutionTableModel::LayOut).
inline constexpr std::array<ControlPlace, 3> kSubstitutionTableControls{{
    {kSubstitutionTableGridName,
     {200, 200, kSubstitutionTableGridDesignWidth, kSubstitutionTableGridDesignHeight}},
    {kSubstitutionTableCancelName,
     {200 + kSubstitutionTableGridDesignWidth - kSubstitutionTableButtonWidth,
      200 + kSubstitutionTableGridDesignHeight + 200, kSubstitutionTableButtonWidth,
      kSubstitutionTableButtonHeight}},
    {kSubstitutionTableOkName,
     {200, 200 + kSubstitutionTableGridDesignHeight + 200, kSubstitutionTableButtonWidth,
      kSubstitutionTableButtonHeight}},
}};

// What the editor needs from its window.
class SubstitutionTableView {
  public:
    virtual ~SubstitutionTableView() = default;
    // Replaces the grid's whole sheet by `sheet`.
    virtual void ShowSheet(const SavedSheet& sheet) = 0;
    // The grid's sheet as the user has left it.
    virtual SavedSheet GridSheet() const = 0;
    // Hides the window and ends its modal showing; `accepted` for OK.
    virtual void HideWindow(bool accepted) = 0;
};

class SubstitutionTableModel {
  public:
    // The editor over the table file `tableFile` (VarTab.Dat beside the
    // settings file), read and written through `fileSystem`, which must
    // outlive the model, with its place kept in `settings`. Nothing is read
    // until the editor is shown.
    SubstitutionTableModel(FileSystem& fileSystem, std::string tableFile, SettingsFile settings);

    // The window that shows the editor; none until it is made.
    void SetView(SubstitutionTableView* view) { view_ = view; }

    static std::string_view Caption() { return kSubstitutionTableCaption; }
    static TwipsRect ClientSize() {
        return {0, 0, kSubstitutionTableClientWidth, kSubstitutionTableClientHeight};
    }
    static std::span<const ControlPlace> Controls() { return kSubstitutionTableControls; }
    // The first sheet, which the grid holds until a saved table is loaded:
    // the eleven letters' rows, fifty columns with the grid's default
    // headings, empty cells, and the sizes of substitution_table_rules.h.
    static SavedSheet FirstSheet();

    // The places of the grid and the buttons for a window of this outer size
    // (in twips, frame included), from the grid's size the last layout left.
    SubstitutionTableLayout LayOut(std::int64_t outerHeight, std::int64_t outerWidth);

    // The table saved in the file; nothing when there is none to load.
    std::optional<SavedSheet> Load() const;

    // The program showed the window (not the window system restoring it):
    // the saved table, if any, replaces the grid. True when one did.
    bool Shown();
    // OK: the grid is saved (a failed save is not reported) and the window
    // hidden. The result of the save.
    Outcome Ok();
    // Cancel, or Escape: the window is hidden; the grid keeps its edits.
    void Cancel();

    // Making the editor's window (its Load) sizes it as the settings keep
    // it, height then width; Vars then opens it at the kept top, then left.
    OuterSize StoredSize() const;
    OuterPosition StoredPosition() const;
    // The frame's close box: the place and then the size are kept, and the
    // editor is unloaded, so the next opening makes it afresh.
    void ClosedByFrame(OuterPosition position, OuterSize size);
    bool Unloaded() const { return unloaded_; }

  private:
    FileSystem& fileSystem_;
    std::string tableFile_;
    SettingsFile settings_;
    SubstitutionTableView* view_ = nullptr;
    bool unloaded_ = false;
    // The grid's size as the layout last left it, in twips.
    std::int64_t gridHeight_ = kSubstitutionTableGridDesignHeight;
    std::int64_t gridWidth_ = kSubstitutionTableGridDesignWidth;
};

}  // namespace bladeway
