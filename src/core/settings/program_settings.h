#pragma once
// The part of the start-up that the desktop program and the command-line
// tool share: the program's folder, where its settings file lives and which
// template mode the folder selects, with the settings located once.
#include <string>
#include <string_view>

namespace bladeway {

struct ProgramSettings {
    std::string appFolder;     // the program's folder, ending with the separator
    std::string settingsFile;  // Bladeway.INI, beside the program or in the user's folder
    bool flatTemplateMode = true;
};

// For the program file at `programPath`: its folder, the settings place that
// LocateSettings chooses for it (made and filled from the system's defaults
// on first use when it is the user's folder) and the template mode of the
// folder the marker is looked for in.
ProgramSettings LocateProgramSettings(std::string_view programPath);

}  // namespace bladeway
