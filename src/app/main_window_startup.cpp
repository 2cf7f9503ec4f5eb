// The main window's start-up, in its fixed order. A step that fails is
// skipped and the next one runs; nothing is reported.
#include "app/data_file_list.h"
#include "app/main_window.h"
#include "core/settings/preference_loading.h"
#include "core/settings/settings_place.h"
#include "qt_views/path_text.h"
#include "qt_views/preferences_dialog.h"
#include "qt_views/window_placement.h"

namespace bladeway {

void MainWindow::Load() {
    if (environment_.showStartupAbout)
        environment_.showStartupAbout(this);
    appFolder_ = FolderOfPath(environment_.programPath);
    // Beside the program, unless it is installed where the user cannot write.
    const SettingsPlace place = LocateSettings(appFolder_);
    settings_ = SettingsFile(place.settingsFile, *environment_.fileSystem);
    flatTemplateMode_ = IsFlatTemplateMode(place.templateModeFolder);
    RestorePlace();
    LoadPreferenceValues(settings_, preferences_);
    CreatePreferences();
    // A source folder that is missing or empty leaves the list on the
    // process's current folder.
    fileList_->SetFolder(FolderToText(preferences_.sourceFolder));
    loadComplete_ = true;
}

// Outer height, width, top and left, in that order, as the settings hold them.
void MainWindow::RestorePlace() {
    PlaceWindow(*this, StoredPlace(settings_, settings_keys::kMainWindowPlace));
}

// The Preferences dialog exists from here on, hidden, showing the values.
void MainWindow::CreatePreferences() {
    preferencesDialog_ = new PreferencesDialog(settings_, preferences_, this);
    connect(preferencesDialog_, &PreferencesDialog::SourceFolderConfirmed, this,
            &MainWindow::ShowSourceFolder);
}

}  // namespace bladeway
