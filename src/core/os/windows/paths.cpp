#include "core/os/paths.h"

#include <algorithm>
#include <cstdlib>
#include <io.h>

#include "core/os/windows/program_files.h"
#include "core/os/windows/win32_api.h"
#include "core/os/windows/win32_text.h"

namespace bladeway {

bool IsAbsolute(std::string_view path) {
    const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    const bool onDrive = path.size() > 2 && path[1] == ':' && isSeparator(path[2]);
    const bool onNetwork = path.size() > 2 && isSeparator(path[0]) && isSeparator(path[1]);
    return onDrive || onNetwork;
}

// The Program Files folders: where installers put programs for the whole
// machine. The short form (C:\PROGRA~1) counts as the long one.
bool IsPackageManagedFolder(std::string_view folder) {
    const std::string path = win32::LongPathOf(folder);
    const std::vector<std::string> installed = win32::ProgramFilesFolders();
    return std::any_of(installed.begin(), installed.end(), [&](const std::string& programFiles) {
        return win32::IsInFolder(path, programFiles);
    });
}

bool IsWritableFolder(const std::string& folder) {
    const auto wide = win32::WideFromUtf8(folder);
    return wide && ::_waccess(wide->c_str(), 2) == 0;
}

UserFolderEnvironment UserFoldersOfEnvironment() {
    // The wide form: the narrow one is in the ANSI code page, which cannot
    // hold every user name.
    const auto value = [](const wchar_t* name) {
        const wchar_t* text = ::_wgetenv(name);
        return text == nullptr ? std::string{} : win32::Utf8FromWide(text);
    };
    return {value(L"APPDATA"), {}, {}, value(L"LOCALAPPDATA")};
}

std::string CommandSearchPath() {
    const wchar_t* path = ::_wgetenv(L"PATH");
    return path == nullptr ? std::string{} : win32::Utf8FromWide(path);
}

// Windows has no system-wide folder of defaults for programs; the installer
// puts the program's own beside it, in its "defaults" folder.
std::vector<std::string> SystemConfigFolders(std::string_view /*configDirs*/) {
    const std::string program = RunningProgramPath();
    if (program.empty())
        return {};
    return {JoinPathOnce(FolderOfPath(program), "defaults") + kPathSeparator};
}

std::string RunningProgramPath() {
    // The buffer grows until the whole path fits (long paths exceed MAX_PATH).
    std::wstring path(MAX_PATH, L'\0');
    while (path.size() <= 32768) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return win32::Utf8FromWide(path);
        }
        path.resize(path.size() * 2);
    }
    return {};
}

}  // namespace bladeway
