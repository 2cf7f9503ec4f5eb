#include "core/os/command_line.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <memory>

#include "core/os/windows/win32_api.h"
#include "core/os/windows/win32_text.h"
// After <windows.h>, which it needs.
#include <shellapi.h>

namespace bladeway {

std::vector<std::string> CommandLineArguments(int /*argc*/, char** /*argv*/) {
    int count = 0;
    const std::unique_ptr<wchar_t*, decltype(&::LocalFree)> wide(
        ::CommandLineToArgvW(::GetCommandLineW(), &count), &::LocalFree);
    std::vector<std::string> arguments;
    for (int at = 1; wide != nullptr && at < count; ++at)
        arguments.push_back(win32::Utf8FromWide(wide.get()[at]));
    return arguments;
}

void WriteOutputAsBytes() {
    (void)::_setmode(::_fileno(stdout), _O_BINARY);
    (void)::_setmode(::_fileno(stderr), _O_BINARY);
}

}  // namespace bladeway
