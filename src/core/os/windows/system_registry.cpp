#include "core/os/system_registry.h"

#include "core/os/native_files.h"
#include "core/os/windows/windows_registry.h"

namespace bladeway {

// Windows runs any regular file it can open; the start reports the rest.
bool IsRunnableProgram(const std::string& path) {
    return native::StatusOf(path).isRegularFile;
}

std::unique_ptr<Registry> SystemRegistry() {
    return std::make_unique<WindowsRegistry>();
}

}  // namespace bladeway
