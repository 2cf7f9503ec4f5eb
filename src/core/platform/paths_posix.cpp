#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "core/platform/paths.h"

namespace bladeway {

bool IsAbsolute(std::string_view path) {
    return path.starts_with('/');
}

bool IsWritableFolder(const std::string& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

UserFolderEnvironment UserFoldersOfEnvironment() {
    const auto value = [](const char* name) {
        const char* text = std::getenv(name);
        return text == nullptr ? std::string{} : std::string(text);
    };
    return {value("XDG_CONFIG_HOME"), value("HOME")};
}

std::string RunningProgramPath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string{} : path.string();
}

}  // namespace bladeway
