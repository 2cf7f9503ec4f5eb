#include "core/settings/program_settings.h"

#include "core/settings/preference_loading.h"
#include "core/settings/settings_file.h"
#include "core/settings/settings_place.h"

namespace bladeway {

ProgramSettings LocateProgramSettings(std::string_view programPath) {
    ProgramSettings program;
    program.appFolder = FolderOfPath(programPath);
    const SettingsPlace place = LocateSettings(program.appFolder);
    program.settingsFile = place.settingsFile;
    program.flatTemplateMode = IsFlatTemplateMode(place.templateModeFolder);
    return program;
}

}  // namespace bladeway
