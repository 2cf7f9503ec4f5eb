#include "core/platform/paths.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace bladeway {

std::string RunningProgramPath() {
#ifdef _WIN32
    return {};  // a Windows build fills this from GetModuleFileNameA
#else
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string{} : path.string();
#endif
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder).append(1, kPathSeparator).append(name);
    return path;
}

std::string JoinPathOnce(std::string_view folder, std::string_view name) {
    if (!folder.empty() && folder.back() == kPathSeparator) {
        return std::string(folder).append(name);
    }
    return JoinPath(folder, name);
}

std::string NativeSeparators(std::string_view path) {
    std::string native(path);
    std::replace(native.begin(), native.end(), '\\', kPathSeparator);
    return native;
}

}  // namespace bladeway
