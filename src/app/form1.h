#pragma once
// The main window (Form1): the start-up window and the only one open for the
// whole run. It holds the module values of the start-up (AppFolder, the
// settings file, the template mode and the live preference values), the file
// list File1, the key grid KeyData and the buttons Process, Preferences,
// Exit and the hidden Vars.
//
// Its work is split by responsibility: form1.cpp builds the window,
// form1_startup.cpp is the start-up, form1_geometry.cpp the resize rule and
// the window's place in the settings, form1_commands.cpp the buttons and the
// file list.
#include <string>

#include <QWidget>

#include "app/app_environment.h"
#include "core/settings/preference_values.h"
#include "core/settings/settings_file.h"

class QPushButton;
class QTableView;

namespace bladeway {

class DataFileList;
class KeyGridModel;
class Pref;

class Form1 final : public QWidget {
    Q_OBJECT

  public:
    explicit Form1(AppEnvironment environment, QWidget* parent = nullptr);
    ~Form1() override;

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

    DataFileList& File1() { return *file1_; }
    QTableView& KeyData() { return *keyData_; }
    KeyGridModel& KeyGrid() { return *keyGrid_; }
    QPushButton& Proc() { return *proc_; }
    QPushButton& Prf() { return *prf_; }
    QPushButton& Ext() { return *ext_; }
    QPushButton& BtnVars() { return *btnVars_; }
    // The Preferences dialog; it exists from the start-up on.
    Pref* PreferencesDialog() { return pref_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // form1.cpp
    void CreateControls();
    void ConnectControls();
    // form1_startup.cpp
    void RestorePlace();
    void CreatePreferences();
    // form1_geometry.cpp
    void ApplyResizeRule();
    void StorePlace();
    // form1_commands.cpp
    void File1Click();
    void PrfClick();
    void ExtClick();
    void BtnVarsClick();
    void ShowSourceFolder(const QString& folder);
    // form1_process.cpp
    void ProcClick();

    AppEnvironment environment_;
    std::string appFolder_;
    SettingsFile settings_;
    bool flatTemplateMode_ = true;
    PreferenceValues preferences_;
    bool loadComplete_ = false;

    DataFileList* file1_ = nullptr;
    QPushButton* proc_ = nullptr;
    QTableView* keyData_ = nullptr;
    KeyGridModel* keyGrid_ = nullptr;
    QPushButton* prf_ = nullptr;
    QPushButton* ext_ = nullptr;
    QPushButton* btnVars_ = nullptr;
    Pref* pref_ = nullptr;
};

}  // namespace bladeway
