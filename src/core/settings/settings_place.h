#pragma once
// Where the settings file and the substitution table live. A program run
// from its own folder keeps them beside itself, as it always has. An
// installed program cannot: its folder belongs to the system and is not the
// user's to write. It keeps them in the user's configuration folder instead,
// starting from the system's default settings when the user has none yet.
// Either way the template mode is decided from the program's own folder.
#include <string>
#include <string_view>
#include <vector>

namespace bladeway {

class FileSystem;

// The name of the folder inside the user's configuration folder; a program
// in tree mode keeps its own, so that a flat and a tree install on one
// machine each keep their folders and options.
inline constexpr std::string_view kUserSettingsFolderName = "bladeway";
inline constexpr std::string_view kTreeModeUserSettingsFolderName = "bladeway-tree";

// What the choice depends on, gathered by LocateSettings.
struct ProgramFolderFacts {
    std::string appFolder;           // the program's folder, ending with the separator
    bool writable = false;           // the user may create and replace files in it
    bool holdsSettingsFile = false;  // Bladeway.INI is there already
    std::string xdgConfigHome;       // $XDG_CONFIG_HOME (%APPDATA% on Windows); empty when unset
    std::string home;                // $HOME (none on Windows); empty when unset
};

struct SettingsPlace {
    std::string folder;              // holds Bladeway.INI and VarTab.Dat; ends with the separator
    std::string settingsFile;        // `folder` followed by Bladeway.INI
    std::string templateModeFolder;  // the folder the tree-mode marker is looked for in
    bool besideProgram = true;
};

// True for a folder that holds the system's installed programs (below /usr on
// Linux, a Program Files folder on Windows), where settings never go whoever
// may write there.
bool IsSystemProgramFolder(std::string_view appFolder);

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute
// path, else $HOME/.config when HOME is; empty when neither is.
std::string UserConfigHome(std::string_view xdgConfigHome, std::string_view home);

// Beside the program when its folder is not a system program folder and is
// writable or already holds a settings file; otherwise in "bladeway" inside
// the user's configuration folder ("bladeway-tree" in tree mode). With no
// configuration folder to go to, beside the program all the same (where
// writes then fail silently).
SettingsPlace ChooseSettingsPlace(const ProgramFolderFacts& facts);

// The system-wide default settings inside a system configuration folder, as
// the package installs them (/etc/xdg/bladeway/Bladeway.INI).
std::string DefaultSettingsFile(std::string_view systemConfigFolder);

// The folder of default settings an installer puts beside the program
// ("defaults", holding bladeway/Bladeway.INI).
std::string ShippedDefaultsFolder(std::string_view appFolder);

// Gives a place that has no settings file yet a copy of a default one: the
// first of the folders' default files that can be read. A settings file
// already there is never touched. True when a copy was made.
bool StartFromDefaultSettings(const SettingsPlace& place,
                              const std::vector<std::string>& systemConfigFolders,
                              FileSystem& fileSystem);

// The choice for the running program's folder, from the real file system and
// environment. When the user's folder is chosen and missing, it is created
// (private to the user); a failure there leaves the settings unwritable, as
// a read-only folder beside the program would. A user's folder without a
// settings file starts from the system's default one; a place beside the
// program, from the defaults its installer put there (a copy with none
// starts without settings, as it always has).
SettingsPlace LocateSettings(std::string_view appFolder);

}  // namespace bladeway
