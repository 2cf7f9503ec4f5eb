#include "app/variable_table.h"

#include <map>
#include <memory>

#include <QObject>
#include <QString>
#include <QWidget>

#include "core/settings/settings_file.h"
#include "dialogs/var_sub.h"

namespace bladeway {

void OpenVariableTable(QWidget& owner, SettingsFile& settings, const std::string& settingsFolder,
                       std::int64_t top, std::int64_t left) {
    // One editor per main window for the window's life: OK and Cancel hide it
    // and keep its state, as every dialog does.
    static std::map<QWidget*, std::unique_ptr<VarSubHolder>> editors;
    auto& editor = editors[&owner];
    if (!editor) {
        editor = std::make_unique<VarSubHolder>(
            &owner, settings, QString::fromStdString(settingsFolder + "VarTab.Dat"));
        QObject::connect(&owner, &QObject::destroyed, [owner = &owner] { editors.erase(owner); });
    }
    editor->OpenAt(top, left);
}

}  // namespace bladeway
