#pragma once

// The registry values that locate the system information program, as this
// system provides them. Windows has its own registry. Linux has none: the two
// keys the About box reads are filled in memory from the programs installed,
// and the "PATH" value names the first system information program found.

#include <array>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/os/registry.h"

namespace bladeway {

inline constexpr std::string_view kMsinfoKey = R"(SOFTWARE\Microsoft\Shared Tools\MSINFO)";
inline constexpr std::string_view kMsinfoPathValue = "PATH";
inline constexpr std::string_view kSharedToolsLocationKey =
    "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr std::string_view kSharedToolsMsinfoValue = "MSINFO";

// Graphical system information programs of Linux desktops, best first:
// dedicated hardware and system viewers before the system monitors.
inline constexpr std::array<std::string_view, 6> kSystemInformationPrograms = {
    "hardinfo2", "hardinfo", "kinfocenter", "cpu-x", "mate-system-monitor", "gnome-system-monitor",
};

// True when the path names a file the user may run.
bool IsRunnableProgram(const std::string& path);

// The absolute folders of the program search path (`searchPath` as the PATH
// environment variable writes it, folders separated by ":"), in order and
// without repeats; relative entries are left out so that nothing is started
// from the current folder. An empty search path gives the standard folders.
std::vector<std::string> ProgramFolders(std::string_view searchPath);

// The full path of the first of `names` (in that order of preference) found
// in one of `folders`; empty when none is.
std::string FindInstalledProgram(
    std::span<const std::string_view> names, std::span<const std::string> folders,
    const std::function<bool(const std::string&)>& isProgram = IsRunnableProgram);

// The two keys with their rights, and the "PATH" value naming `programPath`
// unless that is empty.
RegistryStore RegistryNaming(const std::string& programPath);

// The registry as the running system gives it now.
std::unique_ptr<Registry> SystemRegistry();

}  // namespace bladeway
