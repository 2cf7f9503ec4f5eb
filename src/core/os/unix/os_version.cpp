#include "core/os/os_version.h"

#include <string_view>
#include <sys/utsname.h>

namespace bladeway {

std::uint32_t GetVersion() {
    utsname names{};
    if (::uname(&names) != 0) {
        return 0;
    }
    return VersionFromKernelRelease(std::string_view(&names.release[0]));
}

}  // namespace bladeway
