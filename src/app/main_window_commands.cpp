// The main window's commands: the file list, the buttons.
#include <QPushButton>

#include "app/data_file_list.h"
#include "app/key_grid_model.h"
#include "app/main_window.h"
#include "core/presentation/substitution_table_rules.h"
#include "qt_views/preferences_dialog.h"
#include "qt_views/substitution_table_dialog.h"
#include "qt_views/window_placement.h"

namespace bladeway {

// Loads the selected file into the grid. A file that cannot be read (gone
// since it was listed, unreadable, too large) leaves the grid as it was.
void MainWindow::LoadSelectedFile() {
    const std::string name = fileList_->SelectedFileNameBytes();
    if (name.empty() || RunGoingOn())
        return;
    (void)gridModel_->LoadFile(fileList_->FolderBytes(), name, *environment_.fileSystem);
}

// None of the commands acts while a run goes on.
void MainWindow::OpenPreferences() {
    if (RunGoingOn())
        return;
    PlaceWindow(*preferencesDialog_, StoredPlace(settings_, settings_keys::kPreferencesPlace));
    preferencesDialog_->exec();
}

void MainWindow::EndProgram() {
    if (RunGoingOn())
        return;
    environment_.endProgram();
}

void MainWindow::OpenSubstitutionTable() {
    if (RunGoingOn())
        return;
    // One editor for the window's life: OK and Cancel hide it and keep its
    // state, as every dialog does.
    if (!substitutionTable_) {
        substitutionTable_ = std::make_unique<SubstitutionTableHolder>(
            this, settings_,
            FolderOfPath(settings_.Path()) + std::string(kSubstitutionTableFileName));
    }
    substitutionTable_->Open();
}

// The Preferences OK points the list at the source folder; a folder that
// cannot be listed leaves the list as it was.
void MainWindow::ShowSourceFolder(const QString& folder) {
    fileList_->SetFolder(folder);
}

}  // namespace bladeway
