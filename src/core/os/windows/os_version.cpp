#include "core/os/os_version.h"

#include <cstring>

#include "core/os/windows/win32_api.h"

namespace bladeway {
namespace {

using RtlGetVersionCall = LONG(WINAPI*)(OSVERSIONINFOW*);

}  // namespace

// The system's GetVersion reports Windows 8 to every program without a
// manifest naming later versions; RtlGetVersion tells the truth, in the same
// layout once packed.
std::uint32_t GetVersion() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const auto address = ntdll != nullptr ? ::GetProcAddress(ntdll, "RtlGetVersion") : nullptr;
    if (address != nullptr) {
        RtlGetVersionCall rtlGetVersion = nullptr;
        static_assert(sizeof(rtlGetVersion) == sizeof(address));
        std::memcpy(&rtlGetVersion, &address, sizeof(address));
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof(info);
        if (rtlGetVersion(&info) == 0) {
            return VersionFromNtParts(info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber);
        }
    }
    return static_cast<std::uint32_t>(::GetVersion());
}

}  // namespace bladeway
