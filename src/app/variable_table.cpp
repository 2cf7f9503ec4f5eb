#include "app/variable_table.h"

#include <QString>
#include <memory>

#include "core/settings/settings_file.h"
#include "dialogs/var_sub.h"

namespace bladeway {

void OpenVariableTable(QWidget& owner, SettingsFile& settings, const std::string& appFolder,
                       std::int64_t top, std::int64_t left) {
    // One editor for the program's life: OK and Cancel hide it and keep its
    // state, as every dialog does.
    static std::unique_ptr<VarSubHolder> editor;
    if (!editor) {
        editor = std::make_unique<VarSubHolder>(
            &owner, settings, QString::fromStdString(appFolder + "VarTab.Dat"));
    }
    editor->OpenAt(top, left);
}

}  // namespace bladeway
