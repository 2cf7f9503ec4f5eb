#include "core/os/program_start.h"

#include "core/os/windows/win32_api.h"
#include "core/os/windows/win32_text.h"

namespace bladeway {

bool StartDetachedProgram(const std::string& program) {
    if (program.empty())
        return false;
    const auto wide = win32::WideFromUtf8(program);
    if (!wide)
        return false;
    // The command line is the program's name, quoted so that spaces in its
    // path do not split it; the system looks for a bare name along the path.
    std::wstring commandLine = L"\"" + *wide + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const DWORD flags =
        CREATE_UNICODE_ENVIRONMENT | (::GetConsoleWindow() != nullptr ? 0 : CREATE_NO_WINDOW);
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                         nullptr, &startup, &process) == 0) {
        return false;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

}  // namespace bladeway
