#include "core/os/paths.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace bladeway {

bool IsAbsolute(std::string_view path) {
    return path.starts_with('/');
}

bool IsPackageManagedFolder(std::string_view folder) {
    return folder.starts_with("/usr/");
}

bool IsWritableFolder(const std::string& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

UserFolderEnvironment UserFoldersOfEnvironment() {
    const auto value = [](const char* name) {
        const char* text = std::getenv(name);
        return text == nullptr ? std::string{} : std::string(text);
    };
    return {value("XDG_CONFIG_HOME"), value("HOME"), value("XDG_CONFIG_DIRS"),
            value("XDG_STATE_HOME")};
}

std::string CommandSearchPath() {
    const char* path = std::getenv("PATH");
    return path == nullptr ? std::string{} : std::string(path);
}

std::vector<std::string> SystemConfigFolders(std::string_view configDirs) {
    if (configDirs.empty())
        return {"/etc/xdg/"};
    std::vector<std::string> folders;
    std::size_t start = 0;
    while (start <= configDirs.size()) {
        const std::size_t colon = std::min(configDirs.find(':', start), configDirs.size());
        std::string folder(configDirs.substr(start, colon - start));
        // A relative folder would depend on where the program was started.
        if (IsAbsolute(folder)) {
            if (folder.back() != '/')
                folder.push_back('/');
            folders.push_back(std::move(folder));
        }
        start = colon + 1;
    }
    return folders;
}

std::string RunningProgramPath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string{} : path.string();
}

}  // namespace bladeway
