// The main window's commands: the file list, the buttons.
#include <QPushButton>

#include "app/data_file_list.h"
#include "app/form1.h"
#include "app/key_grid_model.h"
#include "app/variable_table.h"
#include "dialogs/pref.h"
#include "dialogs/window_placement.h"

namespace bladeway {

// Loads the selected file into the grid. A file that cannot be read (gone
// since it was listed, unreadable, too large) leaves the grid as it was.
void Form1::File1Click() {
    const std::string name = file1_->SelectedFileNameBytes();
    if (name.empty())
        return;
    (void)keyGrid_->LoadFile(file1_->FolderBytes(), name, *environment_.fileSystem);
}

void Form1::PrfClick() {
    OuterPlace place;
    place.top = settings_.ReadPositionSetting("Positions", "PrefTop");
    place.left = settings_.ReadPositionSetting("Positions", "PrefLeft");
    PlaceWindow(*pref_, place);
    pref_->exec();
}

void Form1::ExtClick() {
    environment_.endProgram();
}

void Form1::BtnVarsClick() {
    const std::int64_t top = settings_.ReadPositionSetting("Positions", "VarSubTop");
    const std::int64_t left = settings_.ReadPositionSetting("Positions", "VarSubLeft");
    // The table lives beside the settings file.
    OpenVariableTable(*this, settings_, FolderOfPath(settings_.Path()), top, left);
}

// The Preferences OK points the list at the source folder; a folder that
// cannot be listed leaves the list as it was.
void Form1::ShowSourceFolder(const QString& folder) {
    file1_->SetFolder(folder);
}

}  // namespace bladeway
