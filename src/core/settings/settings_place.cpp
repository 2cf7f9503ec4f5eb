#include "core/settings/settings_place.h"

#include <filesystem>
#include <system_error>

#include "core/os/paths.h"
#include "core/settings/preference_loading.h"
#include "core/settings/settings_file.h"
#include "core/storage/file_system.h"

namespace bladeway {
namespace {

std::string WithSeparator(std::string folder) {
    if (folder.empty() || folder.back() != kPathSeparator)
        folder.push_back(kPathSeparator);
    return folder;
}

// The user's folder, and the configuration folder above it, made when
// missing; the user's folder readable by the user alone.
void CreateUserFolder(const std::string& folder) {
    std::error_code error;
    // A UTF-8 path: a narrow one is read in the ANSI code page on Windows.
    std::filesystem::path utf8Folder;
    try {
        utf8Folder = std::filesystem::path(std::u8string(folder.begin(), folder.end()));
    } catch (const std::exception&) {
        return;  // not UTF-8: the settings file then cannot be written, and says so
    }
    if (std::filesystem::is_directory(utf8Folder, error))
        return;
    const std::filesystem::path path = utf8Folder.parent_path();  // without the closing separator
    std::filesystem::create_directories(path.parent_path(), error);
    if (std::filesystem::create_directory(path, error)) {
        std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace, error);
    }
}

}  // namespace

bool IsSystemProgramFolder(std::string_view appFolder) {
    return IsPackageManagedFolder(appFolder);
}

std::string UserConfigHome(std::string_view xdgConfigHome, std::string_view home) {
    if (IsAbsolute(xdgConfigHome))
        return WithSeparator(std::string(xdgConfigHome));
    if (IsAbsolute(home))
        return WithSeparator(std::string(home)) + ".config" + kPathSeparator;
    return {};
}

SettingsPlace ChooseSettingsPlace(const ProgramFolderFacts& facts) {
    SettingsPlace place;
    place.templateModeFolder = facts.appFolder;
    place.folder = facts.appFolder;
    const bool besideProgram =
        !IsSystemProgramFolder(facts.appFolder) && (facts.writable || facts.holdsSettingsFile);
    const std::string configHome = UserConfigHome(facts.xdgConfigHome, facts.home);
    if (!besideProgram && !configHome.empty()) {
        const std::string_view name = IsFlatTemplateMode(facts.appFolder)
                                          ? kUserSettingsFolderName
                                          : kTreeModeUserSettingsFolderName;
        place.folder = configHome + std::string(name) + kPathSeparator;
        place.besideProgram = false;
    }
    place.settingsFile = place.folder + std::string(kSettingsFileName);
    return place;
}

std::string DefaultSettingsFile(std::string_view systemConfigFolder) {
    return WithSeparator(std::string(systemConfigFolder)) + std::string(kUserSettingsFolderName) +
           kPathSeparator + std::string(kSettingsFileName);
}

std::string ShippedDefaultsFolder(std::string_view appFolder) {
    return WithSeparator(std::string(appFolder)) + "defaults" + kPathSeparator;
}

bool StartFromDefaultSettings(const SettingsPlace& place,
                              const std::vector<std::string>& systemConfigFolders,
                              FileSystem& fileSystem) {
    if (fileSystem.Exists(place.settingsFile))
        return false;
    for (const std::string& folder : systemConfigFolders) {
        const auto defaults =
            fileSystem.ReadWholeFile(DefaultSettingsFile(folder), kSettingsReadLimit);
        if (defaults)
            return fileSystem.ReplaceFile(place.settingsFile, defaults.value()).ok();
    }
    return false;
}

SettingsPlace LocateSettings(std::string_view appFolder) {
    ProgramFolderFacts facts;
    facts.appFolder = std::string(appFolder);
    // An empty folder is the process's current one.
    const std::string folder = appFolder.empty() ? std::string(".") : facts.appFolder;
    facts.writable = IsWritableFolder(folder);
    facts.holdsSettingsFile = Disk().Exists(facts.appFolder + std::string(kSettingsFileName));
    UserFolderEnvironment environment = UserFoldersOfEnvironment();
    facts.xdgConfigHome = std::move(environment.configHome);
    facts.home = std::move(environment.home);
    SettingsPlace place = ChooseSettingsPlace(facts);
    if (place.besideProgram) {
        (void)StartFromDefaultSettings(place, {ShippedDefaultsFolder(folder)}, Disk());
    } else {
        CreateUserFolder(place.folder);
        (void)StartFromDefaultSettings(place, SystemConfigFolders(environment.configDirs), Disk());
    }
    return place;
}

}  // namespace bladeway
