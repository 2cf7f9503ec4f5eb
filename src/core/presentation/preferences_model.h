#pragma once
// The Preferences dialog (Pref) without widgets: the live home of the
// preference values. Its fields show the one set of values that the
// processing run reads and edit it in place, so an edit takes effect at once,
// whether or not the dialog is closed with OK. OK keeps the folders and the
// translate options in the settings file for the next start; the mirror
// character is never kept. No button is the default: Enter presses none, Esc
// cancels.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/presentation/folder_browse_model.h"
#include "core/presentation/twips.h"
#include "core/presentation/window_place.h"

namespace bladeway {

class PreferenceValues;
class SettingsFile;

enum class FolderField { kSource, kTemplate, kDestination };
inline constexpr std::array<FolderField, 3> kFolderFields{
    FolderField::kSource, FolderField::kTemplate, FolderField::kDestination};

enum class TranslateOption { kXLToLH, kXToH };

// How a check box shows a stored option's value: 0 unchecked, 2 grey
// (neither on nor off, as the settings file may hold it), any other checked.
enum class CheckMark { kUnchecked, kChecked, kGrey };
CheckMark CheckMarkOf(std::int16_t value);

// What the model tells the window. Folders are bytes in the file system's
// encoding, the mirror character a byte of Windows-1252.
class PreferencesView {
  public:
    virtual ~PreferencesView() = default;
    virtual void ShowFolder(FolderField field, const std::string& folder) = 0;
    virtual void ShowMirrorCharacter(const std::string& character) = 0;
    // Both boxes shown or both hidden.
    virtual void ShowTranslateOptions(CheckMark xlToLh, CheckMark xToH, bool visible) = 0;
    // The warning sign at the end of a folder field, with `warning` as its
    // tooltip; none when the field names a folder (or nothing).
    virtual void ShowMissingFolder(FolderField field,
                                   const std::optional<std::string>& warning) = 0;
    // Shows the folder browse dialog of `browse` over this one, modally, and
    // returns once it is closed. The same model comes back until
    // DiscardFolderBrowse.
    virtual void RunFolderBrowse(FolderBrowseModel& browse) = 0;
    // The browse dialog was closed by its frame and is gone: its window goes
    // with it, the next Browse shows a new one.
    virtual void DiscardFolderBrowse() = 0;
    // Ends the dialog: with OK (`confirmed`) or as cancelled.
    virtual void Close(bool confirmed) = 0;
};

class PreferencesModel {
  public:
    // The controls of one folder row: caption, field and Browse button.
    struct FolderControls {
        std::string_view label;
        std::string_view field;
        std::string_view browse;
    };

    static constexpr std::string_view kCaption = "Preferences";
    static constexpr TwipsRect kClientSize{0, 0, 5775, 3120};
    // The controls by role that are no folder row's, under the names the
    // table, the views and their tests know them by.
    static constexpr std::string_view kMirrorCharacterLabelName = "Label4";
    static constexpr std::string_view kMirrorCharacterFieldName = "MirChar";
    static constexpr std::string_view kXLToLHBoxName = "TransXL";
    static constexpr std::string_view kXToHBoxName = "TransXH";
    static constexpr std::string_view kOkButtonName = "BtnOK";
    static constexpr std::string_view kCancelButtonName = "BtnCan";
    // The controls in the order they are made.
    static constexpr std::array<ControlPlace, 15> kControls{{
        {"Label1", {120, 240, 1215, 255}},
        {"SrcPath", {1680, 240, 2175, 375}},
        {"BtnBr1", {4200, 240, 1215, 375}},
        {"Label2", {120, 840, 1215, 255}},
        {"TmpPath", {1680, 840, 2175, 375}},
        {"BtnBr2", {4200, 840, 1215, 375}},
        {"Label3", {120, 1440, 1215, 255}},
        {"DestPath", {1680, 1440, 2175, 375}},
        {"BtnBr3", {4200, 1440, 1215, 375}},
        {kMirrorCharacterLabelName, {120, 1920, 1215, 255}},
        {kMirrorCharacterFieldName, {1680, 1920, 255, 285}},
        {kXLToLHBoxName, {2160, 1920, 1815, 255}},
        {kXToHBoxName, {2160, 2160, 1815, 255}},
        {kOkButtonName, {720, 2400, 1215, 495}},
        {kCancelButtonName, {3840, 2400, 1215, 495}},
    }};
    // The design's tab order (the labels take no focus).
    static constexpr std::array<std::string_view, 11> kTabOrder{
        "SrcPath",   "BtnBr1", kOkButtonName, kCancelButtonName,         "BtnBr2",
        "TmpPath",   "BtnBr3", "DestPath",    kMirrorCharacterFieldName, kXLToLHBoxName,
        kXToHBoxName};
    // The mirror character field holds one character.
    static constexpr int kMirrorCharacterLength = 1;

    static const FolderControls& ControlsOf(FolderField field);
    // A control's caption, "&&" standing for one ampersand shown; empty for
    // a control without one.
    static std::string_view CaptionOf(std::string_view objectName);
    // A control's tooltip; empty for none.
    static std::string_view TooltipOf(std::string_view objectName);
    // The designed place of a control of this window.
    static const TwipsRect& PlaceOf(std::string_view objectName);
    // How wide a control may grow to show its caption whole where the font
    // is wider than the design's (twips): a label up to two pixels (30
    // twips) before the field beside it, a check box to the dialog's right
    // edge; every other control keeps its design width.
    static std::int64_t WidestOf(std::string_view objectName);

    // `sourceConfirmed`: OK has kept the values; the main window lists the
    // data files of this folder.
    PreferencesModel(SettingsFile& settings, PreferenceValues& values,
                     std::function<void(const std::string&)> sourceConfirmed = {});
    ~PreferencesModel();
    PreferencesModel(const PreferencesModel&) = delete;
    PreferencesModel& operator=(const PreferencesModel&) = delete;

    // The window that shows this model (null: none); it is shown the values at once.
    void SetView(PreferencesView* view);

    // Shows the current preference values in the fields.
    void ShowValues();
    // Whether the last use of the folder browse dialog ended with OK.
    bool BrowseAccepted() const { return browseAccepted_; }
    // The folder browse dialog's model while it is loaded; null before the
    // first Browse and after it was closed by its frame.
    FolderBrowseModel* Browser() const { return browse_.get(); }

    // What the user does.
    // The dialog has come on the screen, or has left it.
    void Shown();
    void Hidden();
    void FolderEdited(FolderField field, const std::string& folder);
    void MirrorCharacterEdited(std::string_view character);
    void TranslateOptionClicked(TranslateOption option, bool checked);
    void Browse(FolderField field);
    void Ok(OuterPosition position);
    // Cancel, or Esc.
    void Cancel();
    // The frame's close box (or Alt+F4): the place is kept, every value
    // goes back to its initial one, and the window closes as by Cancel.
    void CloseByFrame(OuterPosition position);

  private:
    std::string& FolderOf(FolderField field);
    void ShowFolders();
    void ShowFolder(FolderField field);
    void ShowOptions();
    void MarkIfMissing(FolderField field);
    void TextChanged(FolderField field, const std::string& text);
    void Activate();

    SettingsFile& settings_;
    PreferenceValues& values_;
    std::function<void(const std::string&)> sourceConfirmed_;
    PreferencesView* view_ = nullptr;
    bool shown_ = false;
    bool browseAccepted_ = false;
    std::unique_ptr<FolderBrowseModel> browse_;
    // What each folder field shows: its mark is renewed when that changes
    // while the dialog is on the screen.
    std::array<std::string, kFolderFields.size()> fieldTexts_;
};

}  // namespace bladeway
