#include "core/platform/paths.h"

#include <algorithm>

// RunningProgramPath is the platform's own: paths_posix.cpp, paths_win32.cpp.

namespace bladeway {

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
