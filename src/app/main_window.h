#pragma once
// The main window (Form1): the start-up window and the only one open for the
// whole run. It holds the module values of the start-up (AppFolder, the
// settings file, the template mode and the live preference values), the file
// list File1, the key grid KeyData and the buttons Process, Preferences,
// Exit and the hidden Vars.
//
// Its work is split by responsibility: main_window.cpp builds the window,
// main_window_startup.cpp is the start-up, main_window_geometry.cpp the resize rule and
// the window's place in the settings, main_window_commands.cpp the buttons and the
// file list, main_window_process.cpp the Process run and its report,
// main_window_preview.cpp the grid's context menu and the program preview.
#include <memory>
#include <string>
#include <vector>

#include <QWidget>

#include "app/app_environment.h"
#include "core/run/processing_run.h"
#include "core/settings/preference_values.h"
#include "core/settings/settings_file.h"

class QAction;
class QPushButton;
class QTableView;

namespace bladeway {

class BackgroundRun;
class DataFileList;
class KeyGridModel;
class PreferencesDialog;
class ProgramPreviewWindow;
class RunReportWindow;
class SubstitutionTableHolder;

class MainWindow final : public QWidget {
    Q_OBJECT

  public:
    explicit MainWindow(AppEnvironment environment, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up: the About box, the settings file beside the program, the
    // template mode, the window's place and size, the preference values, the
    // file list on the source folder. The window is shown afterwards.
    void Load();

    // Module values, set by the start-up.
    const std::string& AppFolder() const { return appFolder_; }
    SettingsFile& Settings() { return settings_; }
    bool FlatTemplateMode() const { return flatTemplateMode_; }
    PreferenceValues& Preferences() { return preferences_; }
    bool LoadComplete() const { return loadComplete_; }

    DataFileList& FileList() { return *fileList_; }
    QTableView& GridView() { return *gridView_; }
    KeyGridModel& GridModel() { return *gridModel_; }
    QPushButton& ProcessButton() { return *processButton_; }
    QPushButton& PreferencesButton() { return *preferencesButton_; }
    QPushButton& ExitButton() { return *exitButton_; }
    QPushButton& VarsButton() { return *varsButton_; }
    // The Preferences dialog; it exists from the start-up on.
    PreferencesDialog* PreferencesEditor() { return preferencesDialog_; }

    // A Process run is going on: the window takes no input meanwhile.
    bool RunGoingOn() const;
    BackgroundRun& Run();
    // The last run's report; none before the first run ends.
    RunReportWindow* ReportWindow() { return reportWindow_; }
    // The preview, made on first use.
    ProgramPreviewWindow& PreviewWindow();
    // The grid's context menu entry "Preview program" (also Ctrl+P).
    QAction& PreviewAction() { return *previewAction_; }
    // The preview of the current column's key, as Process would write it now.
    void PreviewCurrentProgram();
    // Selects these grid columns (counted from 1, ascending) as one block, so
    // that Process takes just their keys.
    void SelectKeyColumns(const std::vector<int>& columns);

  signals:
    // A Process run has ended and its report is shown.
    void RunFinished();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // main_window.cpp
    void CreateControls();
    void ConnectControls();
    // main_window_startup.cpp
    void RestorePlace();
    void CreatePreferences();
    // main_window_geometry.cpp
    void ApplyResizeRule();
    void StorePlace();
    // main_window_commands.cpp
    void LoadSelectedFile();
    void OpenPreferences();
    void EndProgram();
    void OpenSubstitutionTable();
    void ShowSourceFolder(const QString& folder);
    // main_window_process.cpp
    void CreateRun();
    // What a run or a preview works with: the live preference values, the
    // template mode, the file system and the clock; no message callback.
    RunEnvironment RunSettings();
    void RunProcess();
    void EndRun(const RunReport& report);
    // main_window_preview.cpp
    void CreateGridMenu();
    void ShowWrittenProgram(const KeyResult& key);

    AppEnvironment environment_;
    std::string appFolder_;
    SettingsFile settings_;
    bool flatTemplateMode_ = true;
    PreferenceValues preferences_;
    bool loadComplete_ = false;

    DataFileList* fileList_ = nullptr;
    QPushButton* processButton_ = nullptr;
    QTableView* gridView_ = nullptr;
    KeyGridModel* gridModel_ = nullptr;
    QPushButton* preferencesButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    QPushButton* varsButton_ = nullptr;
    PreferencesDialog* preferencesDialog_ = nullptr;
    std::unique_ptr<SubstitutionTableHolder> substitutionTable_;  // made on first use
    RunReportWindow* reportWindow_ = nullptr;                     // made on the first run's end
    ProgramPreviewWindow* previewWindow_ = nullptr;               // made on first use
    QAction* previewAction_ = nullptr;
    std::unique_ptr<BackgroundRun> run_;
    bool closeAfterRun_ = false;  // the close box was used during the run
};

}  // namespace bladeway
