#pragma once

// Where the platform differs in paths: the folder separator, the full path of
// the running program, and joining a folder with a name.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace bladeway {

// '\\' on Windows, '/' elsewhere: the standard library knows the system's own.
inline constexpr char kPathSeparator =
    static_cast<char>(std::filesystem::path::preferred_separator);

// Full path of the running program file; empty when the platform cannot tell.
std::string RunningProgramPath();

// True for a path that does not depend on the current folder: "/..." on
// Linux; on Windows a drive letter and a separator, or a network path
// ("\\\\server\\share").
bool IsAbsolute(std::string_view path);

// True for a folder whose programs the system's package manager or an
// installer puts there for the whole machine: below /usr/ on Linux; on
// Windows a Program Files folder or one below it (letter case aside).
bool IsPackageManagedFolder(std::string_view folder);

// True when the user may create files in the folder.
bool IsWritableFolder(const std::string& folder);

// Where the environment says the user's settings belong, as the platform
// names it: $XDG_CONFIG_HOME and $HOME on Linux, %APPDATA% (and no home) on
// Windows; where the system keeps its defaults: $XDG_CONFIG_DIRS on Linux,
// nothing on Windows (see SystemConfigFolders); and where the user's own
// state of a program belongs, that no other machine shares: $XDG_STATE_HOME
// on Linux, %LOCALAPPDATA% on Windows. Empty where unset.
struct UserFolderEnvironment {
    std::string configHome;
    std::string home;
    std::string configDirs;
    std::string stateHome;
};
UserFolderEnvironment UserFoldersOfEnvironment();

// The folders the system searches for a command a user types ($PATH, %PATH%),
// as UTF-8; empty where unset.
std::string CommandSearchPath();

// The system's configuration folders, most important first, each ending with
// the separator. On Linux the absolute folders that `configDirs`
// ($XDG_CONFIG_DIRS) lists between colons, relative ones left out, or
// /etc/xdg/ when it lists nothing at all; on Windows, which has no such
// folder, the "defaults" folder beside the running program, where its
// installer puts them.
std::vector<std::string> SystemConfigFolders(std::string_view configDirs);

// Folder, separator, name: always one separator added, so a folder that
// already ends with one gives two in a row (the paths are used as given).
std::string JoinPath(std::string_view folder, std::string_view name);

// Folder and name with a separator between them unless the folder already
// ends with one.
std::string JoinPathOnce(std::string_view folder, std::string_view name);

// A relative path written with "\" as the file formats write it, in the
// platform's separator.
std::string NativeSeparators(std::string_view path);

// The folder part of `path`: up to and including its last separator ('/'
// or the system's own; on Windows a drive's "C:" without one), empty for a
// bare name, so that folder part and name give the path again. Split by the separators alone:
// std::filesystem would take the bytes for the ANSI code page on Windows, where the program's names
// are UTF-8.
std::string FolderOfPath(std::string_view path);

// The folder a file is in, as a folder call takes it: the folder part
// without its closing separators ("." for a bare name; a root keeps its
// separator). The folder a staged file is moved into, as
// native::FlushFolder takes it.
std::string FolderOf(const std::string& path);

// One spelling per path, for telling whether two paths name the same file
// without asking the disk: "a/./P1", "a//P1" and "a/b/../P1" all give "a/P1".
std::string SameFileKey(const std::string& path);

}  // namespace bladeway
