// The main window's start-up, in its fixed order. A step that fails is
// skipped and the next one runs; nothing is reported.
#include "app/data_file_list.h"
#include "app/form1.h"
#include "core/settings/preference_loading.h"
#include "core/settings/settings_place.h"
#include "dialogs/path_text.h"
#include "dialogs/pref.h"
#include "dialogs/window_placement.h"

namespace bladeway {

void Form1::Load() {
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
    file1_->SetFolder(FolderToText(preferences_.SrcPath));
    loadComplete_ = true;
}

// Outer height, width, top and left, in that order, as the settings hold them.
void Form1::RestorePlace() {
    OuterPlace place;
    place.height = settings_.ReadPositionSetting("Positions", "MainHeight");
    place.width = settings_.ReadPositionSetting("Positions", "MainWidth");
    place.top = settings_.ReadPositionSetting("Positions", "MainTop");
    place.left = settings_.ReadPositionSetting("Positions", "MainLeft");
    PlaceWindow(*this, place);
}

// The Preferences dialog exists from here on, hidden, showing the values.
void Form1::CreatePreferences() {
    pref_ = new Pref(settings_, preferences_, this);
    connect(pref_, &Pref::SourceFolderConfirmed, this, &Form1::ShowSourceFolder);
}

}  // namespace bladeway
