#pragma once
// The Preferences dialog (Pref) as a Win32 window over PreferencesModel
// (core/presentation/preferences_model.h has the rules): the controls of
// its table, which it shows and tells what the user does. It makes the
// folder browse dialog when its model asks for one.
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "core/presentation/preferences_model.h"
#include "win32/kit/dialog_window.h"
#include "win32/kit/icons.h"
#include "win32/kit/tooltips.h"

namespace bladeway::win32 {

class FolderBrowseDialog;

class PreferencesDialog final : public DialogWindow, private PreferencesView {
  public:
    // Shows `model` (the application's) from now on.
    PreferencesDialog(PreferencesModel& model, HWND owner);
    ~PreferencesDialog() override;

    // Shows the dialog modally at the stored place (what is not stored stays
    // as it is) and returns once it is closed.
    int Open(const StoredWindowPlace& place);

    // The warning sign at the end of a folder field, shown while the field
    // names no folder, and its tip.
    HWND MissingFolderSign(FolderField field) const { return signs_.at(Index(field)); }
    std::string TipOf(HWND control) const { return tooltips_->TextOf(control); }
    // The folder browse dialog while it is loaded; null before the first
    // Browse and after it was closed by its frame.
    FolderBrowseDialog* BrowseDialog() const { return browseDialog_.get(); }

  private:
    static std::size_t Index(FolderField field) { return static_cast<std::size_t>(field); }
    void CreateControls();
    void WidenToCaptions();
    void PlaceSigns();
    void KeepTextClearOfSign(FolderField field);
    void OnCommand(int id, int code) override;
    void OnClose() override;
    void OnDpiChanged() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void ShowFolder(FolderField field, const std::string& folder) override;
    void ShowMirrorCharacter(const std::string& character) override;
    void ShowTranslateOptions(CheckMark xlToLh, CheckMark xToH, bool visible) override;
    void ShowMissingFolder(FolderField field, const std::optional<std::string>& warning) override;
    void RunFolderBrowse(FolderBrowseModel& browse) override;
    void DiscardFolderBrowse() override;
    void Close(bool confirmed) override;

    std::unique_ptr<Tooltips> tooltips_;
    std::array<HWND, kFolderFields.size()> signs_{};
    Icon warning_;
    // Placed once: by a stored place or on its first showing.
    bool placed_ = false;
    // True while the model sets a field: that is no edit of the user's.
    bool showing_ = false;
    PreferencesModel& model_;
    // Declared after the model: the browse dialog shows a model of its, so it goes first.
    std::unique_ptr<FolderBrowseDialog> browseDialog_;
};

}  // namespace bladeway::win32
