#pragma once
// The main window (Form1) as a Qt view over MainWindowModel
// (core/presentation/main_window_model.h), which holds the module values,
// the start-up, the design, the resize rule and what each command does: the
// file list File1, the key grid KeyData, the buttons Process, Preferences,
// Exit and the hidden Vars, the grid's context menu, and the windows a run
// leaves (the report, the program preview).
#include <memory>
#include <string>
#include <vector>

#include <QWidget>

#include "app/app_environment.h"
#include "core/presentation/main_window_model.h"

class QLabel;
class QMenu;
class QPushButton;
class QTableView;

namespace bladeway {

class BackgroundRun;
class DataFileList;
class IndexCheckWindow;
class KeyGridModel;
class PreferencesDialog;
class ProgramPreviewWindow;
class RunReportWindow;
class SubstitutionTableDialog;

class MainWindow final : public QWidget, private MainWindowView {
    Q_OBJECT

  public:
    explicit MainWindow(AppEnvironment environment, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up (MainWindowModel::Load). The window is shown afterwards.
    void Load();

    MainWindowModel& Model() { return model_; }
    // Module values, set by the start-up.
    const std::string& AppFolder() const { return model_.AppFolder(); }
    SettingsFile& Settings() { return model_.Settings(); }
    bool FlatTemplateMode() const { return model_.FlatTemplateMode(); }
    bool LoadComplete() const { return model_.LoadComplete(); }

    DataFileList& FileList() { return *fileList_; }
    // Names a damaged key data file, between the list and Process.
    QLabel& KeyFileWarning() { return *keyFileWarning_; }
    QTableView& GridView() { return *gridView_; }
    KeyGridModel& GridModel() { return *gridModel_; }
    QPushButton& ProcessButton() { return *processButton_; }
    QPushButton& PreferencesButton() { return *preferencesButton_; }
    QPushButton& ExitButton() { return *exitButton_; }
    QPushButton& VarsButton() { return *varsButton_; }
    // The Preferences dialog; it exists from the start-up on.
    PreferencesDialog* PreferencesEditor() { return preferencesDialog_; }

    // A Process run is going on: the window takes no input meanwhile.
    bool RunGoingOn() const { return model_.RunGoingOn(); }
    BackgroundRun& Run() { return *run_; }
    // The windows of the last run's report, the preview and the index
    // check; each is made when first shown.
    RunReportWindow* ReportWindow() { return reportWindow_; }
    ProgramPreviewWindow* PreviewWindow() { return previewWindow_; }
    IndexCheckWindow* CheckWindow() { return checkWindow_; }

  signals:
    // A Process run has ended: its report is shown, or the window closes,
    // or the check before it ended it.
    void RunFinished();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateControls();
    void CreateGridMenu();
    // An entry of the grid's menu chosen, or its shortcut pressed.
    void GridMenuChosen(GridMenuCommand command);
    void CreateRun();
    void RunProcess();
    // The notice given before the window showed, once it shows.
    void ShowWaitingNotice();

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
    // The grid menu's last runs, listed afresh each time it opens.
    void ListRecentRuns(QMenu& menu);

    AppEnvironment environment_;
    MainWindowModel model_;

    DataFileList* fileList_ = nullptr;
    std::string waitingNotice_;  // given before the window showed
    QLabel* keyFileWarning_ = nullptr;
    QPushButton* processButton_ = nullptr;
    QTableView* gridView_ = nullptr;
    KeyGridModel* gridModel_ = nullptr;
    QPushButton* preferencesButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    QPushButton* varsButton_ = nullptr;
    PreferencesDialog* preferencesDialog_ = nullptr;
    SubstitutionTableDialog* substitutionTable_ = nullptr;  // while the model has one
    RunReportWindow* reportWindow_ = nullptr;
    ProgramPreviewWindow* previewWindow_ = nullptr;
    IndexCheckWindow* checkWindow_ = nullptr;
    std::unique_ptr<BackgroundRun> run_;
};

}  // namespace bladeway
