#pragma once
// The main window (Form1): the start-up window and the only one open for the
// whole session. The model holds the module values of the start-up (the
// program's folder, the settings file, the template mode, the live
// preference values), runs the start-up in its fixed order, keeps the
// window's design and resize rule, and decides each command: none acts while
// a Process run goes on. The view shows the file list File1, the key grid
// KeyData, the buttons Process, Preferences, Exit and the hidden Vars, and
// forwards what the user does.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/journal/journal_place.h"
#include "core/keydata/sheet.h"
#include "core/keydata/sheet_selection.h"
#include "core/presentation/about_model.h"
#include "core/presentation/before_run_model.h"
#include "core/presentation/editable_sheet.h"
#include "core/presentation/grid_menu.h"
#include "core/presentation/index_check_model.h"
#include "core/presentation/key_grid_rules.h"
#include "core/presentation/preferences_model.h"
#include "core/presentation/program_preview_model.h"
#include "core/presentation/run_report_model.h"
#include "core/presentation/run_session_model.h"
#include "core/presentation/run_undo_model.h"
#include "core/presentation/substitution_table_model.h"
#include "core/presentation/twips.h"
#include "core/presentation/window_place.h"
#include "core/run/processing_run.h"
#include "core/settings/preference_values.h"
#include "core/settings/settings_file.h"
#include "core/settings/settings_keys.h"
#include "core/settings/sharing_settings.h"
#include "core/storage/file_system.h"

namespace bladeway {

struct RunCheckStep;

// The window's design, in twips: its client area, the smallest one (room for
// a title bar and its buttons; a first start without settings opens at this
// size, at the top-left corner of the screen), and the controls.
inline constexpr TwipsRect kMainWindowClient{0, 0, 6690, 4665};
// The controls by role, under the names the table, the views and their tests
// know them by.
inline constexpr std::string_view kFileListName = "File1";
inline constexpr std::string_view kProcessButtonName = "Proc";
inline constexpr std::string_view kKeyGridName = "KeyData";
inline constexpr std::string_view kPreferencesButtonName = "Prf";
inline constexpr std::string_view kExitButtonName = "Ext";
inline constexpr std::string_view kVarsButtonName = "BtnVars";
inline constexpr TwipsRect kMainWindowSmallestClient{0, 0, 1800, 450};
inline constexpr std::array<ControlPlace, 6> kMainWindowControls{{
    {kFileListName, {360, 240, 1815, 2625}},
    {kProcessButtonName, {360, 3120, 1815, 375}},
    {kKeyGridName, {2520, 240, 3975, 4215}},
    {kPreferencesButtonName, {360, 3600, 1815, 375}},
    {kExitButtonName, {360, 4080, 1815, 375}},
    {kVarsButtonName, {240, 4920, 735, 375}},
}};
// Where a damaged key data file is named: the gap between the file list and
// Process, in sight whenever the worker reaches for Process.
inline constexpr ControlPlace kKeyFileWarningControl{"KeyFileWarning", {360, 2880, 1815, 225}};
// Tab goes through the controls in this order (the grid after Process).
inline constexpr std::array<std::string_view, 6> kMainWindowTabOrder{
    kFileListName,          kProcessButtonName, kKeyGridName,
    kPreferencesButtonName, kExitButtonName,    kVarsButtonName};
// Grid cells a little wider than a spreadsheet's default, so that a template
// or program name of twelve characters shows whole.
inline constexpr std::int64_t kKeyGridColumnWidth = 1260;

inline constexpr std::string_view kFileListTip = "Lockplan Data file selection box.";
inline constexpr std::string_view kProcessCaption = "Process";
inline constexpr std::string_view kProcessTip = "Process currently loaded Lockplan data file.";
inline constexpr std::string_view kPreferencesCaption = "Preferences";
inline constexpr std::string_view kExitCaption = "Exit";
inline constexpr std::string_view kVarsCaption = "Vars";

// The design place of the control named `objectName`.
TwipsRect MainWindowControlPlace(std::string_view objectName);

// The resize rule: the grid follows the window's outer size (twips) and the
// file list and the buttons keep their places. The grid stays at its design
// corner; it takes the height and width left over (outer height less 740,
// outer width less 2720) in a direction where more than 100 twips are left,
// and keeps its size (`gridHeight`, `gridWidth`) in the other.
TwipsRect MainWindowGridPlace(std::int64_t outerHeight, std::int64_t outerWidth,
                              std::int64_t gridHeight, std::int64_t gridWidth);

// What the model has the window do. Every call comes on the user-interface
// thread.
// It asks and tells about undoing a run from the grid's context menu, and
// shows what the check before a run found.
class MainWindowView : public RunUndoView, public BeforeRunView {
  public:
    ~MainWindowView() override = default;
    // The About box over `about`, modal; nothing of the start-up has
    // happened before it.
    virtual void OpenAbout(AboutModel& about) = 0;
    // Height, width, top and left of the window's outer edges, in that order.
    virtual void PlaceWindow(const StoredWindowPlace& place) = 0;
    // The preference values are loaded: the Preferences dialog can be made,
    // over this model (MainWindowModel::PreferencesWindow).
    virtual void PreferencesLoaded(PreferencesModel& preferences) = 0;
    // The file list shows `names` (MainWindowModel::ListedFiles), the key
    // data files of `folder` (the file system's bytes, which a view may
    // watch for files that come and go), with row `chosen` selected, or none.
    virtual void ShowFileList(const std::string& folder, std::span<const std::string> names,
                              std::optional<std::size_t> chosen) = 0;
    // The key sheet (MainWindowModel::KeySheet) has been replaced whole: the
    // grid drops an edit it had, and shows the new sheet from its first cell
    // with nothing selected.
    virtual void KeySheetReplaced() = 0;
    // The window's title: what the program works on and what needs the
    // worker's eye (MainWindowModel::Title).
    virtual void ShowTitle(const std::string& title) = 0;
    // Says `text` once, beside the file list, without waiting for an answer
    // (a file that loaded but is damaged).
    virtual void ShowNotice(const std::string& text) = 0;
    // Names a damaged key data file in the place between the file list and
    // Process (kKeyFileWarningControl), where it stays in sight until another
    // file loads: a few words, and the whole text as its tip. Empty: none.
    virtual void ShowKeyFileWarning(const std::string& label, const std::string& whole) = 0;
    // Puts the grid at this place of the client area.
    virtual void PlaceGrid(const TwipsRect& place) = 0;
    // Opens the Preferences dialog at this place, modally.
    virtual void OpenPreferences(const StoredWindowPlace& place) = 0;
    // The substitution table editor's window over `table`: making it is its
    // Load, which sizes it as the settings keep it.
    virtual void MakeSubstitutionTable(SubstitutionTableModel& table) = 0;
    // Moves the editor's window's outer top and then its left to `position`
    // and shows it modally; returns once it is hidden or closed.
    virtual void ShowSubstitutionTableAt(OuterPosition position) = 0;
    // Destroys the editor's window.
    virtual void UnmakeSubstitutionTable() = 0;
    // Ends the program at once; no other window's closing steps run.
    virtual void EndProgram() = 0;
    // A Process run starts (the busy pointer), is over (the normal pointer,
    // the window's controls take input again), and its report is to be
    // shown (`destinationFolder` for saving it).
    virtual void RunStarting() = 0;
    virtual void RunOver() = 0;
    // The close box was used during the run: the window closes now, as it
    // would have then, with no report.
    virtual void CloseAfterRun() = 0;
    // The window over each of these models comes to the front, with the
    // keyboard's focus; the first time it is made, over the model given,
    // which is the same one every time and shows what it holds already.
    // The last run's report:
    virtual void ShowRunReport(RunReportModel& report) = 0;
    // A program, as Process would write it or as a run wrote it:
    virtual void ShowPreview(ProgramPreviewModel& preview) = 0;
    // The check of a damaged INDICE.Prg the report named, above the report:
    virtual void ShowIndexCheck(IndexCheckModel& check) = 0;
    // Selects these ranges as the grid's selection, with the current cell at
    // `current`, which comes into sight, and the window comes to the front.
    virtual void SelectGridBlocks(std::span<const GridRange> blocks, GridCell current) = 0;
};

class MainWindowModel {
  public:
    // `programPath`: the running program file, whose folder holds the
    // settings; `today`: today's date as "MM/DD/YY".
    MainWindowModel(std::string programPath, FileSystem& fileSystem,
                    std::function<std::string()> today);

    void SetView(MainWindowView* view) { view_ = view; }
    // The run session Process starts, made over the front end's queue and
    // timer (`hooks`), doing `work` (RunProcessing unless a test gives
    // another): the commands wait for each run's end, which comes to
    // RunEnded. The views show it (RunSessionModel::SetView).
    RunSessionModel& MakeRunSession(RunSessionHooks hooks, RunSessionModel::RunWork work = nullptr);
    // A run going on is stopped and waited for, and the session goes: before
    // the queue and timer it was made over do.
    void EndRunSession();

    // The start-up, in its fixed order: the About box, the settings file
    // (located once), the template mode, the window's stored place and size,
    // the preference values, the file list on the source folder. A step that
    // fails is skipped and the next one runs; nothing is reported.
    void Load();

    // Module values, set by the start-up.
    const std::string& AppFolder() const { return appFolder_; }
    SettingsFile& Settings() { return settings_; }
    bool FlatTemplateMode() const { return flatTemplateMode_; }
    PreferenceValues& Preferences() { return preferences_; }
    // The About box's model, over the running system.
    AboutModel& About() { return about_; }
    // The Preferences dialog's model, over the settings file and those values;
    // its OK lists the source folder.
    PreferencesModel& PreferencesWindow() { return preferencesWindow_; }
    bool LoadComplete() const { return loadComplete_; }
    FileSystem& Files() { return *fileSystem_; }
    // The substitution table, VarTab.Dat beside the settings file.
    std::string SubstitutionTablePath() const;

    // No command acts while a Process run goes on.
    bool RunGoingOn() const;

    // "Bladeway - Harbor.dat - tree mode, Translate X to H", and after it
    // what needs the worker's eye: a damaged key data file, a Source Path
    // that names no folder (the list then shows another), empty folder
    // fields, values the settings file does not keep (" - check: ..."). Just "Bladeway"
    // before the start-up.
    std::string Title() const;

    // What a run or a preview works with: the live preference values, the
    // template mode, the file system and the clock; no message callback and
    // no journal (Process adds the journal).
    RunEnvironment RunSettings();
    // Undoing kept runs, in the journal folder with the settings' limits.
    const RunUndoModel& RunUndo() const { return runUndo_; }

    // The key grid's sheet: 500 x 500 empty cells until a key data file is
    // chosen, then that file's keys with the user's edits.
    EditableSheet& KeySheet() { return keySheet_; }
    const Sheet& KeyCells() const { return keySheet_.Cells(); }

    // The file list shows the key data files of `folder` (the source folder,
    // at the start-up and after Preferences' OK), with none chosen. One that
    // cannot be listed leaves the list where it is, the process's current
    // folder at first, and the notice beside the list names both.
    void ListSourceFolder(const std::string& folder);
    // The folder the file list shows, absolute, and its key data files in
    // the list's order.
    const std::string& ListedFolder() const { return listedFolder_; }
    // Reads the listed folder again (the window became active, the folder
    // changed): files that came or went show, and the chosen file stays
    // chosen while it is there. Nothing loads, and a list that has not
    // changed is not shown again. A folder that cannot be read leaves the
    // list as it is (a folder just listed that cannot be read shows none).
    void RefreshFileList();

    // The user's commands.
    // Row `row` of the file list (ListedFiles) is chosen: it stays chosen
    // through refreshes, and loads as FileChosen does.
    void FileListRowChosen(std::size_t row);
    // Loads the key data file into a new sheet; one that cannot be read
    // leaves the key sheet as it was.
    void FileChosen(const std::string& folder, const std::string& name);
    // Processes the keys of the key sheet that `selection` takes, on a copy
    // of the sheet the run owns. The run is checked first, as its first part
    // on the worker ("Checking N keys..."): when the check finds something
    // the worker should know, the run goes on only after "Process anyway".
    void Process(GridSelectionRanges selection);
    void OpenPreferences();
    void Exit();
    // Vars: the substitution table editor, made on first use, shown modally
    // at `position` or, without one, at the top and left the settings keep
    // (read once it is made); kept while hidden, so that it keeps its grid,
    // and made afresh after its frame closed it.
    void OpenSubstitutionTable(std::optional<OuterPosition> position = std::nullopt);
    // An entry of the grid's context menu (kGridMenu), or its shortcut, with
    // the grid's selection and current column: "Preview program" previews
    // the current column's key (the first column's when there is no current
    // cell) as Process would write it now; "Show run report" shows the last
    // report. The recent runs' entries go to UndoRecentRun.
    void GridMenuChosen(GridMenuCommand command, const SheetSelection& selection,
                        std::optional<int> currentColumn);
    // From the grid's context menu: one of RunUndo().RecentRuns().
    void UndoRecentRun(const std::string& id);

    // The window's outer size changed (twips); the grid is now this large.
    // After the start-up the grid follows and the size is stored.
    void Resized(std::int64_t outerHeight, std::int64_t outerWidth, std::int64_t gridHeight,
                 std::int64_t gridWidth);
    // The close box, with the window's outer top and left. During a run the
    // run is stopped and the window closes after it (false: stay open for
    // now); otherwise the place is stored and the program ends (true).
    bool CloseRequested(std::int64_t outerTop, std::int64_t outerLeft);
    // The run has ended (the run session tells, once its windows are
    // gone); no report when the check before it ended it.
    void RunEnded(const RunReport* report);

  private:
    // What the report's buttons reach: these columns (from 1, ascending)
    // as whole columns, so that Process takes just their keys; a key's
    // program as the run wrote it; the check of a damaged index.
    void SelectKeyColumns(const std::vector<int>& columns);
    void ShowWrittenProgram(const KeyResult& key);
    void CheckIndex(const std::string& path);
    void ShowPreview(ProgramPreviewContent content);
    void ShowRunReport(const RunReport& report);
    // The check before a run, against the values the settings file keeps now.
    RunCheckStep CheckStep();
    void ShowTitle();
    // Lists `folder` with no file chosen; false when it cannot be listed.
    bool ListFolder(const std::string& folder);

    std::string programPath_;
    FileSystem* fileSystem_;
    std::function<std::string()> today_;
    MainWindowView* view_ = nullptr;
    std::unique_ptr<RunSessionModel> run_;

    AboutModel about_;
    std::optional<SubstitutionTableModel> substitutionTable_;
    std::string appFolder_;
    SettingsFile settings_;
    bool flatTemplateMode_ = true;
    PreferenceValues preferences_;
    // The values as the settings file kept them when last read (at the
    // start-up, after Preferences), for the title.
    PreferenceValues savedPreferences_;
    PreferencesModel preferencesWindow_{
        settings_, preferences_, [this](const std::string& folder) { ListSourceFolder(folder); }};
    bool loadComplete_ = false;
    bool closeAfterRun_ = false;  // the close box was used during the run
    std::string listedFolder_;    // the folder the file list shows
    std::vector<std::string> listedFiles_;
    std::string chosenFile_;      // the list's chosen name; empty for none
    bool fileListShown_ = false;  // the view shows listedFiles_ and chosenFile_
    std::string keyFile_;         // the key data file chosen last
    std::string keyFileName_;     // and its name, as the list shows it
    bool keyFileDamaged_ = false;
    OwnedSheet keySheet_;
    ProgramPreviewModel preview_;
    IndexCheckModel indexCheck_{*fileSystem_};
    std::optional<RunReportModel> report_;  // made at the first run's end
    RunUndoModel runUndo_{[this] { return JournalPlaceOf(settings_); }, "bladeway",
                          [this] { return StaleClaimLimitOf(settings_); }};
};

}  // namespace bladeway
