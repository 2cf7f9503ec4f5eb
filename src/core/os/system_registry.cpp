#include "core/os/system_registry.h"

#include <algorithm>

#include "core/os/paths.h"

namespace bladeway {
namespace {

constexpr std::string_view kStandardSearchPath = "/usr/local/bin:/usr/bin:/bin";

}  // namespace

// IsRunnableProgram and SystemRegistry are each system's own:
// unix/system_registry.cpp, windows/system_registry.cpp.

std::vector<std::string> ProgramFolders(std::string_view searchPath) {
    if (searchPath.empty())
        searchPath = kStandardSearchPath;
    std::vector<std::string> folders;
    while (true) {
        const std::size_t colon = searchPath.find(':');
        const std::string_view entry = searchPath.substr(0, colon);
        if (!entry.empty() && entry.front() == '/' &&
            std::find(folders.begin(), folders.end(), entry) == folders.end()) {
            folders.emplace_back(entry);
        }
        if (colon == std::string_view::npos)
            break;
        searchPath.remove_prefix(colon + 1);
    }
    return folders;
}

std::string FindInstalledProgram(std::span<const std::string_view> names,
                                 std::span<const std::string> folders,
                                 const std::function<bool(const std::string&)>& isProgram) {
    for (const std::string_view name : names) {
        for (const std::string& folder : folders) {
            std::string path = JoinPathOnce(folder, name);
            if (isProgram(path))
                return path;
        }
    }
    return {};
}

RegistryStore RegistryNaming(const std::string& programPath) {
    RegistryStore registry;
    registry.AddKey(kHkeyLocalMachine, kMsinfoKey);
    registry.AddKey(kHkeyLocalMachine, kSharedToolsLocationKey);
    if (!programPath.empty()) {
        registry.SetString(kHkeyLocalMachine, kMsinfoKey, kMsinfoPathValue, programPath);
    }
    return registry;
}

}  // namespace bladeway
