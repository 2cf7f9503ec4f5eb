#include "core/os/native_files.h"
#include "core/os/windows/system_calls.h"

namespace bladeway::native {

Outcome CheckNameUsable(const std::string& path, std::string_view what) {
    if (!win32::WideFromUtf8(path)) {
        return NotUtf8(what, path);
    }
    return {};
}

// Writing is granted through access lists that no cheap call tells; the real
// write reports a refusal.
Outcome CheckFolderPermission(const std::string& /*folder*/, const std::string& /*path*/,
                              std::string_view /*what*/) {
    return {};
}

}  // namespace bladeway::native
