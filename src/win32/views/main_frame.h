#pragma once
// The main window (Form1) as a Win32 window, a view over the main window
// model: it places the key grid, the file list and the buttons where the
// model's table of controls puts them, scaled by the window's DPI, and
// forwards the file choice, the resizes, Process, Exit and the close box to
// the model. It shows the About box at the start-up and opens Preferences.
// Process runs on a worker thread (BackgroundRun) with its progress window
// and index message. The run report and the program preview are windows of
// their own that block none; the grid's context menu (and Ctrl+P) opens the
// preview and the last report.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/presentation/main_window_model.h"
#include "core/presentation/twips.h"
#include "win32/kit/dialog_window.h"
#include "win32/kit/notice_balloon.h"
#include "win32/kit/owned_handle.h"
#include "win32/kit/tooltips.h"
#include "win32/kit/window.h"
#include "win32/kit/windows_api.h"
#include "win32/views/background_run.h"
#include "win32/views/index_check_window.h"
#include "win32/views/key_grid.h"
#include "win32/views/preferences_dialog.h"
#include "win32/views/program_preview_window.h"
#include "win32/views/run_report_window.h"
#include "win32/views/substitution_table_window.h"

namespace bladeway::win32 {

class MainFrame final : public DialogWindow, private MainWindowView {
  public:
    // `programPath`: the running program, whose folder holds the settings;
    // `today`: today's date as "MM/DD/YY".
    MainFrame(std::string programPath, FileSystem& fileSystem, std::function<std::string()> today);
    ~MainFrame() override;

    // The start-up: the stored place, the settings, the file list; the grid
    // then follows the window's size.
    void Load();

    KeyGrid& Grid() { return *grid_; }
    bool RunGoingOn() const { return model_.RunGoingOn(); }
    // The window's model: what happens outside the window (a run's end)
    // reaches it here.
    MainWindowModel& Model() { return model_; }
    // The last run's report and the program preview, once they opened.
    RunReportWindow* ReportWindow() { return reportWindow_.get(); }
    ProgramPreviewWindow* PreviewWindow() { return previewWindow_.get(); }
    IndexCheckWindow* CheckWindow() { return checkWindow_.get(); }
    // The notice beside the file list while it is up; empty when none.
    std::string NoticeText() const { return notice_ ? notice_->Text() : std::string(); }
    // The control that names a damaged key data file, and the tips of the controls.
    HWND KeyFileWarning() const { return keyFileWarning_; }
    std::string TipOf(HWND control) const { return tooltips_->TextOf(control); }
    // Ctrl+P while the window is active previews the current key's program;
    // true when `message` was that key (the program's message loop asks).
    bool TranslateShortcut(MSG& message);

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCommand(int id, int code) override;
    void OnDpiChanged() override;
    void CreateControls();
    // The resize rule for the window's size now.
    void FollowSize();
    // The grid's context menu at this screen point.
    void ShowGridMenu(POINT at);
    bool ChooseFocusedFile(const MSG& message);
    // An entry of the grid's menu chosen, or its shortcut pressed.
    void GridMenuChosen(GridMenuCommand command);
    // The recent runs' submenu; it goes with the menu it is put into.
    HMENU RecentRunsSubmenu();

    // MainWindowView
    void OpenAbout(AboutModel& about) override;
    void PlaceWindow(const StoredWindowPlace& place) override;
    void PreferencesLoaded(PreferencesModel& preferences) override;
    void ShowFileList(const std::string& folder, std::span<const std::string> names,
                      std::optional<std::size_t> chosen) override;
    void KeySheetReplaced() override;
    void ShowTitle(const std::string& title) override;
    void ShowNotice(const std::string& text) override;
    void ShowKeyFileWarning(const std::string& label, const std::string& whole) override;
    void PlaceGrid(const TwipsRect& place) override;
    void OpenPreferences(const StoredWindowPlace& place) override;
    void MakeSubstitutionTable(SubstitutionTableModel& table) override;
    void ShowSubstitutionTableAt(OuterPosition position) override;
    void UnmakeSubstitutionTable() override;
    void EndProgram() override;
    void RunStarting() override;
    void RunOver() override;
    void CloseAfterRun() override;
    void ShowRunReport(RunReportModel& report) override;
    void ShowPreview(ProgramPreviewModel& preview) override;
    void ShowIndexCheck(IndexCheckModel& check) override;
    void SelectGridBlocks(std::span<const GridRange> blocks, GridCell current) override;
    bool ConfirmUndo(const std::string& question) override;
    void AskBeforeRun(BeforeRunModel& model) override;
    void ShowUndoOutcome(const UndoOutcome& outcome) override;

    MainWindowModel model_;
    std::unique_ptr<KeyGrid> grid_;
    std::unique_ptr<SubstitutionTableWindow> substitutionTable_;  // while the model has one
    // The busy pointer shows over the window while a run goes on.
    bool busy_ = false;
    std::unique_ptr<BackgroundRun> run_;
    // The Preferences dialog, from the start-up on (hidden but for its use).
    std::unique_ptr<PreferencesDialog> preferences_;
    // Made the first time each is needed; the index check, owned by the
    // report's window, goes before it.
    std::unique_ptr<RunReportWindow> reportWindow_;
    std::unique_ptr<IndexCheckWindow> checkWindow_;
    std::vector<std::string> recentRunIds_;  // of the grid menu's last runs, by item
    std::unique_ptr<ProgramPreviewWindow> previewWindow_;
    AcceleratorTable shortcuts_;
    std::unique_ptr<NoticeBalloon> notice_;  // made on the first notice
    std::unique_ptr<Tooltips> tooltips_;
    HWND keyFileWarning_ = nullptr;
    std::string waitingNotice_;  // given before the window showed
    static constexpr UINT kShowWaitingNotice = WM_APP + 1;
};

}  // namespace bladeway::win32
