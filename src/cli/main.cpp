#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "core/os/windows/win32_api.h"
#include "core/os/windows/win32_text.h"
// After <windows.h>, which it needs.
#include <shellapi.h>

namespace {

// The arguments as UTF-8, whatever the ANSI code page: main's own would have
// lost every character outside it.
std::vector<std::string> WideArguments() {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide != nullptr && i < count; ++i)
        args.push_back(bladeway::win32::Utf8FromWide(wide[i]));
    ::LocalFree(wide);
    return args;
}

}  // namespace
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // Bytes go out as written: no CR before every LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    static_cast<void>(argc);
    static_cast<void>(argv);
    const std::vector<std::string> args = WideArguments();
#else
    const std::vector<std::string> args(argv + 1, argv + argc);
#endif
    return bladeway::RunCli(args, std::cout, std::cerr);
}
