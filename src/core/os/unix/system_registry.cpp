#include "core/os/system_registry.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace bladeway {

bool IsRunnableProgram(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::unique_ptr<Registry> SystemRegistry() {
    const char* searchPath = std::getenv("PATH");
    const auto folders = ProgramFolders(searchPath != nullptr ? searchPath : "");
    return std::make_unique<RegistryStore>(
        RegistryNaming(FindInstalledProgram(kSystemInformationPrograms, folders)));
}

}  // namespace bladeway
