#include <cerrno>
#include <unistd.h>

#include "core/os/native_files.h"
#include "core/os/unix/system_calls.h"

namespace bladeway::native {

// Any byte string is a name here.
Outcome CheckNameUsable(const std::string& /*path*/, std::string_view /*what*/) {
    return {};
}

Outcome CheckFolderPermission(const std::string& folder, const std::string& path,
                              std::string_view what) {
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return SystemFailure(std::string(what), path, errno);
    }
    return {};
}

}  // namespace bladeway::native
