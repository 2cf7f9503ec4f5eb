#pragma once
// The folder browse dialog (PathBrowse) without widgets: a root selector
// (Drive1) in place of drives, the folder list (Dir1), the open folder as
// text (Path), OK and Cancel. The Preferences dialog opens it for one of its
// folder fields and takes the open folder when the user confirmed with OK.
//
// A root plays the part of a drive (os/folders.h says what the roots of each
// system are): every folder lies on the deepest root that holds it. The
// folder list shows the path from the open folder's root down to the open
// folder, then the folders inside it; the user opens a folder by
// double-clicking it (or pressing Enter on it), a folder that is merely
// highlighted is not open. No button is the default: Enter presses none,
// Esc cancels.
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/os/folders.h"
#include "core/presentation/twips.h"
#include "core/presentation/window_place.h"

namespace bladeway {

class SettingsFile;

// One row of the folder list.
struct FolderListRow {
    std::string name;                   // the root's path, else the folder's name
    std::string path;                   // the folder the row opens, in the system's separators
    std::optional<std::size_t> parent;  // the row it hangs under; none for the root
    bool onPath = false;  // the root, the folders down to the open one and that one itself
    friend bool operator==(const FolderListRow&, const FolderListRow&) = default;
};

// What the model tells the window.
class FolderBrowseView {
  public:
    virtual ~FolderBrowseView() = default;
    // The roots for the selector, in the order given; each is shown as it is.
    virtual void ShowRoots(const std::vector<std::string>& roots) = 0;
    // Selects the root of that index in the selector (-1: none), without that
    // counting as the user's pick.
    virtual void SelectRoot(int index) = 0;
    // The folder list; `openRow` is the open folder's row, which becomes the
    // current one and is scrolled into sight.
    virtual void ShowFolderList(const std::vector<FolderListRow>& rows, std::size_t openRow) = 0;
    // The open folder as text (Path); a long one may be shortened on the
    // screen, but all of it is the folder handed back.
    virtual void ShowPathText(const std::string& text) = 0;
    // Ends the dialog: with OK (`confirmed`) or as cancelled.
    virtual void Close(bool confirmed) = 0;
};

// True when `folder` is `root` or lies inside it (both clean absolute paths).
bool IsOnRoot(std::string_view folder, std::string_view root);

// Index of the deepest root that holds `folder`; -1 when none does.
int RootIndexOf(const std::vector<std::string>& roots, std::string_view folder);

// The folder a root opens on: `currentFolder` (the process's current folder),
// cleaned, when that lies on this root and on no deeper one; otherwise the
// root itself. Empty for an index that names no root.
std::string CurrentFolderOn(const std::vector<std::string>& roots, int index,
                            std::string_view currentFolder);

// The folders the list shows of those inside a folder: the hidden ones left
// out, sorted by name without regard to the case of letters (ASCII and
// Latin-1), names that differ only in case by their bytes.
std::vector<std::string> ShownSubfolders(std::vector<SubfolderEntry> entries);

class FolderBrowseModel {
  public:
    using RootLister = std::function<std::vector<std::string>()>;

    static constexpr std::string_view kCaption = "Preferences";
    static constexpr TwipsRect kClientSize{0, 0, 3630, 2910};
    // The controls by role, under the names the table, the views and their
    // tests know them by.
    static constexpr std::string_view kRootSelectorName = "Drive1";
    static constexpr std::string_view kFolderListName = "Dir1";
    static constexpr std::string_view kPathName = "Path";
    static constexpr std::string_view kOkButtonName = "BtnOK";
    static constexpr std::string_view kCancelButtonName = "BtnCan";
    // The controls in the order they are made.
    static constexpr std::array<ControlPlace, 5> kControls{{
        {kRootSelectorName, {360, 2400, 1815, 315}},
        {kFolderListName, {360, 600, 1815, 1665}},
        {kOkButtonName, {2520, 600, 855, 855}},
        {kPathName, {240, 120, 3135, 255}},
        {kCancelButtonName, {2520, 1920, 855, 855}},
    }};
    static constexpr std::array<std::string_view, 4> kTabOrder{kRootSelectorName, kFolderListName,
                                                               kOkButtonName, kCancelButtonName};
    // The dialog opens on the folder its opener set, so the folder list, not
    // the root selector (whose focus opens the root's current folder), takes
    // the focus when the dialog is first shown.
    static constexpr std::string_view kFirstFocus = kFolderListName;
    // The buttons' captions; empty for the other controls.
    static std::string_view CaptionOf(std::string_view objectName);

    // A new dialog has the process's current folder open and no Path text yet.
    // `listRoots` gives the machine's roots each time the dialog is shown.
    explicit FolderBrowseModel(SettingsFile& settings, RootLister listRoots = FolderRoots);

    // The window that shows this model (null: none); it is shown the state at once.
    void SetView(FolderBrowseView* view);

    // For the opener. Opens `folder` (absolute, or from the current folder);
    // false, changing nothing, when the text names no existing folder.
    bool SetFolder(const std::string& folder);
    // The open folder, clean and absolute.
    const std::string& Folder() const { return openFolder_; }
    // The Path text: the folder handed back on OK.
    const std::string& PathText() const { return pathText_; }
    // Whether the dialog's last showing ended with OK.
    bool Accepted() const { return accepted_; }
    // True once the user has closed the dialog by its frame: the dialog is then
    // gone for the opener, which makes a fresh one for its next use.
    bool ClosedByFrame() const { return closedByFrame_; }
    const std::vector<std::string>& Roots() const { return roots_; }
    int SelectedRoot() const { return selectedRoot_; }
    const std::vector<FolderListRow>& Rows() const { return rows_; }

    // What the user does.
    // The dialog has come on the screen.
    void Shown();
    // A row of the folder list was double-clicked (or Enter pressed on it).
    void FolderActivated(const std::string& path);
    // The user picked the root of that index in the selector.
    void RootPicked(int index);
    // The user moved the focus to the root selector (not the focus coming
    // back from the selector's own list or from another window).
    void RootSelectorEntered();
    void Ok(OuterPosition position);
    // Cancel, or Esc.
    void Cancel();
    // The frame's close box; the window then closes as by Cancel.
    void CloseByFrame(OuterPosition position);

  private:
    bool Open(const std::string& folder);
    void ListOpenFolder();
    void ShowPath();
    void RefreshRoots();
    void SelectRootOf(const std::string& folder);
    void StorePlace(OuterPosition position);

    SettingsFile& settings_;
    RootLister listRoots_;
    FolderBrowseView* view_ = nullptr;
    std::vector<std::string> roots_;
    int selectedRoot_ = -1;
    std::string openFolder_;
    std::string pathText_;
    std::vector<FolderListRow> rows_;
    std::size_t openRow_ = 0;
    bool accepted_ = false;
    bool closedByFrame_ = false;
};

}  // namespace bladeway
