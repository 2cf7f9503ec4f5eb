#include <filesystem>
#include <system_error>

#include "core/platform/paths.h"

namespace bladeway {

std::string RunningProgramPath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string{} : path.string();
}

}  // namespace bladeway
