// Who this process is on Windows.
#include "core/os/process_identity.h"

#include <array>

#include "core/os/windows/win32_api.h"
#include "core/os/windows/win32_text.h"

namespace bladeway::native {
namespace {

std::uint64_t Steps(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32U) | time.dwLowDateTime;
}

std::uint64_t StartOf(HANDLE process) {
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    return ::GetProcessTimes(process, &created, &exited, &kernel, &user) != 0 ? Steps(created) : 0;
}

// The machine's lasting identity, which Windows sets up once when it is
// installed; without it no other process is taken for one of this computer.
std::string MachineIdentity() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Cryptography", 0,
                        KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return {};
    std::array<wchar_t, 128> value{};
    DWORD size = sizeof(wchar_t) * (value.size() - 1);
    DWORD type = 0;
    const LSTATUS status = ::RegQueryValueExW(key, L"MachineGuid", nullptr, &type,
                                              reinterpret_cast<BYTE*>(value.data()), &size);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ || size < sizeof(wchar_t))
        return {};
    return "windows:" + win32::Utf8FromWide(std::wstring(value.data()));
}

ProcessIdentity Read() {
    ProcessIdentity identity;
    std::array<wchar_t, MAX_COMPUTERNAME_LENGTH + 1> name{};
    auto length = static_cast<DWORD>(name.size());
    if (::GetComputerNameW(name.data(), &length) != 0)
        identity.computer = win32::Utf8FromWide(std::wstring(name.data(), length));
    identity.system = MachineIdentity();
    identity.process = ::GetCurrentProcessId();
    identity.started = StartOf(::GetCurrentProcess());
    return identity;
}

}  // namespace

const ProcessIdentity& ThisProcess() {
    static const ProcessIdentity identity = Read();
    return identity;
}

bool ProcessHasEnded(std::uint64_t process, std::uint64_t started) {
    const auto number = static_cast<DWORD>(process);
    if (number == 0 || number != process)
        return false;
    HANDLE handle = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, number);
    if (handle == nullptr)
        return ::GetLastError() == ERROR_INVALID_PARAMETER;  // no process has that number
    bool ended = ::WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
    // A process has that number: the same one only if it started then.
    if (!ended && started != 0) {
        const std::uint64_t start = StartOf(handle);
        ended = start != 0 && start != started;
    }
    ::CloseHandle(handle);
    return ended;
}

}  // namespace bladeway::native
