#include "core/presentation/main_window_model.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "core/journal/journal_place.h"
#include "core/keydata/key_data_damage.h"
#include "core/keydata/key_data_file.h"
#include "core/os/folders.h"
#include "core/os/paths.h"
#include "core/presentation/key_data_file_list.h"
#include "core/presentation/program_title.h"
#include "core/presentation/run_session_model.h"
#include "core/presentation/substitution_table_rules.h"
#include "core/run/program_preview.h"
#include "core/run/run_check.h"
#include "core/run/run_report_text.h"
#include "core/settings/preference_loading.h"
#include "core/settings/program_settings.h"

namespace bladeway {
namespace {

// What the window keeps beside the grid: the frame, the title bar and the
// margins below and right of it.
constexpr std::int64_t kBelowGrid = 500;
constexpr std::int64_t kRightOfGrid = 200;
// The grid keeps its size in a direction where less than this would be left.
constexpr std::int64_t kSmallestGridSide = 100;

}  // namespace

TwipsRect MainWindowControlPlace(std::string_view objectName) {
    const auto* control = std::find_if(
        kMainWindowControls.begin(), kMainWindowControls.end(),
        [objectName](const ControlPlace& row) { return row.objectName == objectName; });
    return control != kMainWindowControls.end() ? control->place : TwipsRect{};
}

TwipsRect MainWindowGridPlace(std::int64_t outerHeight, std::int64_t outerWidth,
                              std::int64_t gridHeight, std::int64_t gridWidth) {
    const TwipsRect design = MainWindowControlPlace(kKeyGridName);
    TwipsRect grid{design.left, design.top, gridWidth, gridHeight};
    const std::int64_t height = outerHeight - (design.top + kBelowGrid);
    const std::int64_t width = outerWidth - (design.left + kRightOfGrid);
    if (height > kSmallestGridSide)
        grid.height = height;
    if (width > kSmallestGridSide)
        grid.width = width;
    return grid;
}

MainWindowModel::MainWindowModel(std::string programPath, FileSystem& fileSystem,
                                 std::function<std::string()> today)
    : programPath_(std::move(programPath)),
      fileSystem_(&fileSystem),
      today_(std::move(today)),
      settings_(std::string(), fileSystem) {}

RunSessionModel& MainWindowModel::MakeRunSession(RunSessionHooks hooks,
                                                 RunSessionModel::RunWork work) {
    EndRunSession();
    run_ = std::make_unique<RunSessionModel>(std::move(hooks), std::move(work));
    run_->SetRunEndedListener([this](const RunReport* report) { RunEnded(report); });
    return *run_;
}

void MainWindowModel::EndRunSession() {
    if (run_ == nullptr)
        return;
    // Its windows show it no more while it stops.
    run_->SetView(nullptr);
    run_->Progress().SetView(nullptr);
    run_.reset();
}

void MainWindowModel::Load() {
    view_->OpenAbout(about_);
    const ProgramSettings program = LocateProgramSettings(programPath_);
    appFolder_ = program.appFolder;
    settings_ = SettingsFile(program.settingsFile, *fileSystem_);
    flatTemplateMode_ = program.flatTemplateMode;
    view_->PlaceWindow(ReadWindowPlace(settings_, settings_keys::kMainWindowPlace));
    LoadPreferenceValues(settings_, preferences_);
    savedPreferences_ = preferences_;
    view_->PreferencesLoaded(preferencesWindow_);
    ListSourceFolder(preferences_.sourceFolder);
    loadComplete_ = true;
    ShowTitle();
}

void MainWindowModel::ListSourceFolder(const std::string& folder) {
    if (!ListFolder(folder)) {
        // At the start-up the list shows where the program was started.
        if (listedFolder_.empty())
            ListFolder(CurrentFolder());
        view_->ShowNotice((folder.empty() ? std::string("Source Path is empty")
                                          : "Source Path " + ShowPath(folder) + " does not exist") +
                          ": the list shows the key data files of " + ShowPath(listedFolder_) +
                          ".");
    }
}

bool MainWindowModel::ListFolder(const std::string& folder) {
    if (!CanListFolder(*fileSystem_, folder))
        return false;
    listedFolder_ = CleanAbsolutePath(AbsolutePath(folder));
    chosenFile_.clear();
    fileListShown_ = false;
    RefreshFileList();
    return true;
}

// The key data files the core picks from the folder's visible files.
void MainWindowModel::RefreshFileList() {
    if (listedFolder_.empty())
        return;
    const auto listed = ListFiles(listedFolder_);
    // A folder that cannot be read keeps the list it showed; a new one shows
    // none, so that no name of another folder is offered in it.
    if (!listed && fileListShown_)
        return;
    std::vector<std::string> visible;
    if (listed) {
        for (const FileEntry& entry : listed.value()) {
            if (!entry.hidden)
                visible.push_back(entry.name);
        }
    }
    std::vector<std::string> files = KeyDataFileNames(std::move(visible));
    if (fileListShown_ && files == listedFiles_)
        return;
    listedFiles_ = std::move(files);
    fileListShown_ = true;
    std::optional<std::size_t> chosenRow;
    if (const auto kept = std::find(listedFiles_.begin(), listedFiles_.end(), chosenFile_);
        !chosenFile_.empty() && kept != listedFiles_.end())
        chosenRow = static_cast<std::size_t>(kept - listedFiles_.begin());
    else
        chosenFile_.clear();
    view_->ShowFileList(listedFolder_, listedFiles_, chosenRow);
}

std::string MainWindowModel::Title() const {
    std::string title(kProgramTitle);
    if (!loadComplete_)
        return title;
    if (!keyFileName_.empty())
        title += " - " + ShowPath(keyFileName_) + (keyFileDamaged_ ? " (damaged)" : "");
    title += flatTemplateMode_ ? " - flat mode" : " - tree mode";
    if (preferences_.XLToLHOption() != 0)
        title += ", Translate X&L to L&H";
    else if (preferences_.XToHOption() != 0)
        title += ", Translate X to H";
    std::vector<std::string> marks;
    const std::string& source = preferences_.sourceFolder;
    if (!source.empty() && !fileSystem_->FolderExists(source))
        marks.emplace_back("Source Path not found");
    if (preferences_.templateFolder.empty())
        marks.emplace_back("Template Path empty");
    if (preferences_.destinationFolder.empty())
        marks.emplace_back("Destination Path empty");
    if (DiffersFromSettingsFile(preferences_, savedPreferences_))
        marks.emplace_back("Preferences not saved");
    for (std::size_t i = 0; i < marks.size(); ++i)
        title += (i == 0 ? " - check: " : ", ") + marks[i];
    return title;
}

void MainWindowModel::ShowTitle() {
    view_->ShowTitle(Title());
}

std::string MainWindowModel::SubstitutionTablePath() const {
    return FolderOfPath(settings_.Path()) + std::string(kSubstitutionTableFileName);
}

bool MainWindowModel::RunGoingOn() const {
    return run_ != nullptr && run_->IsRunning();
}

RunEnvironment MainWindowModel::RunSettings() {
    return RunEnvironment{
        .preferences = preferences_,
        .flatTemplateMode = flatTemplateMode_,
        .fileSystem = *fileSystem_,
        .today = today_,
        .showMessage = {},
    };
}

void MainWindowModel::FileListRowChosen(std::size_t row) {
    if (row >= listedFiles_.size() || RunGoingOn())
        return;
    chosenFile_ = listedFiles_[row];
    FileChosen(listedFolder_, chosenFile_);
}

void MainWindowModel::FileChosen(const std::string& folder, const std::string& name) {
    if (name.empty() || RunGoingOn())
        return;
    Sheet loaded;
    if (!LoadKeyDataFile(folder, name, loaded, *fileSystem_))
        return;  // the grid shows the file it showed
    keySheet_.Replace(std::move(loaded));
    view_->KeySheetReplaced();
    keyFile_ = AbsolutePath(JoinPathOnce(folder, name));
    keyFileName_ = name;
    const std::optional<KeyDataDamage> damage = FindKeyDataDamage(KeyCells().LoadedContent());
    keyFileDamaged_ = damage.has_value();
    ShowTitle();
    const std::string whole = damage ? ShowPath(name) + ": " + damage->text + "." : std::string();
    view_->ShowKeyFileWarning(damage ? damage->label : std::string(), whole);
    if (damage)
        view_->ShowNotice(whole);
}

void MainWindowModel::Process(GridSelectionRanges selection) {
    if (RunGoingOn() || run_ == nullptr)
        return;
    view_->RunStarting();
    // What the run replaces is kept for undo, within the settings' limits of now.
    RunEnvironment environment = RunSettings();
    environment.journal = JournalPlaceOf(settings_);
    environment.staleClaimLimit = StaleClaimLimitOf(settings_);
    environment.programName = "bladeway";
    environment.keyFile = keyFile_;
    run_->Start(KeyCells(), std::make_unique<GridSelectionRanges>(std::move(selection)),
                environment, CheckStep());
}

RunCheckStep MainWindowModel::CheckStep() {
    // The values the settings file keeps, to name those the session changed
    // without keeping them (Preferences closed by its close box resets them).
    PreferenceValues saved;
    LoadPreferenceValues(settings_, saved);
    return RunCheckStep{
        .find =
            [saved](const Sheet& sheet, const SheetSelection& selection,
                    const RunEnvironment& environment) {
                return CheckBeforeRun(sheet, selection, environment, saved);
            },
        .confirm =
            [this](std::vector<RunHazard> hazards) {
                BeforeRunModel check(std::move(hazards));
                view_->AskBeforeRun(check);
                return check.Proceeds();
            },
    };
}

void MainWindowModel::OpenPreferences() {
    if (RunGoingOn())
        return;
    view_->OpenPreferences(ReadWindowPlace(settings_, settings_keys::kPreferencesPlace));
    // However it was closed, its values are the ones in force now, and OK
    // may have kept them.
    savedPreferences_ = PreferenceValues{};
    LoadPreferenceValues(settings_, savedPreferences_);
    ShowTitle();
}

void MainWindowModel::Exit() {
    if (!RunGoingOn())
        view_->EndProgram();
}

void MainWindowModel::OpenSubstitutionTable(std::optional<OuterPosition> position) {
    if (RunGoingOn())
        return;
    if (!substitutionTable_) {
        substitutionTable_.emplace(*fileSystem_, SubstitutionTablePath(), settings_);
        view_->MakeSubstitutionTable(*substitutionTable_);
    }
    // The place is read from the settings after the Load.
    view_->ShowSubstitutionTableAt(position.value_or(substitutionTable_->StoredPosition()));
    if (substitutionTable_->Unloaded()) {
        view_->UnmakeSubstitutionTable();
        substitutionTable_.reset();
    }
}

void MainWindowModel::GridMenuChosen(GridMenuCommand command, const SheetSelection& selection,
                                     std::optional<int> currentColumn) {
    if (RunGoingOn())
        return;
    switch (command) {
        case GridMenuCommand::PreviewProgram: {
            const int column = currentColumn.value_or(1);
            if (column >= 1 && column <= KeyCells().ColumnCount())
                ShowPreview(
                    PreviewContentOf(PreviewProgram(KeyCells(), selection, RunSettings(), column)));
            return;
        }
        case GridMenuCommand::ShowRunReport:
            // Undone from the menu meanwhile: the report says so.
            if (report_) {
                report_->Refresh();
                view_->ShowRunReport(*report_);
            }
            return;
        case GridMenuCommand::RecentRuns:
            return;  // a submenu: its entries are runs
    }
}

void MainWindowModel::SelectKeyColumns(const std::vector<int>& columns) {
    if (RunGoingOn() || columns.empty())
        return;
    const std::vector<GridRange> blocks = ColumnBlocks(columns, KeyCells().RowCount());
    view_->SelectGridBlocks(blocks, GridCell{columns.front(), 1});
}

void MainWindowModel::ShowWrittenProgram(const KeyResult& key) {
    ShowPreview(WrittenProgramContentOf(key, *fileSystem_));
}

void MainWindowModel::ShowPreview(ProgramPreviewContent content) {
    preview_.ShowContent(std::move(content));
    view_->ShowPreview(preview_);
}

void MainWindowModel::CheckIndex(const std::string& path) {
    indexCheck_.Check(path);
    view_->ShowIndexCheck(indexCheck_);
}

void MainWindowModel::UndoRecentRun(const std::string& id) {
    if (!RunGoingOn())
        (void)runUndo_.Undo(id, *view_);
}

void MainWindowModel::Resized(std::int64_t outerHeight, std::int64_t outerWidth,
                              std::int64_t gridHeight, std::int64_t gridWidth) {
    if (!loadComplete_)
        return;
    view_->PlaceGrid(MainWindowGridPlace(outerHeight, outerWidth, gridHeight, gridWidth));
    StoreOuterSize(settings_, settings_keys::kMainWindowPlace, {outerHeight, outerWidth});
}

bool MainWindowModel::CloseRequested(std::int64_t outerTop, std::int64_t outerLeft) {
    // Closed during a run, the window stops it and closes once the key
    // being written is finished and the index entries made so far are saved.
    if (RunGoingOn()) {
        closeAfterRun_ = true;
        run_->Stop();
        return false;
    }
    StoreOuterPosition(settings_, settings_keys::kMainWindowPlace, {outerTop, outerLeft});
    view_->EndProgram();
    return true;
}

void MainWindowModel::RunEnded(const RunReport* report) {
    view_->RunOver();
    if (closeAfterRun_)
        view_->CloseAfterRun();
    else if (report != nullptr)
        ShowRunReport(*report);
}

// One report for the session, made at the first run's end; each run's
// report replaces the one it shows.
void MainWindowModel::ShowRunReport(const RunReport& report) {
    if (!report_) {
        report_.emplace(
            *fileSystem_, HomeFolder(),
            RunReportLinks{[this](const std::vector<int>& columns) { SelectKeyColumns(columns); },
                           [this](const KeyResult& key) { ShowWrittenProgram(key); },
                           [this](const std::string& path) { CheckIndex(path); }});
        report_->SetUndo(&runUndo_);
    }
    report_->ShowReport(report, preferences_.destinationFolder);
    view_->ShowRunReport(*report_);
}

}  // namespace bladeway
