#pragma once
// How the program's advice names the command-line tool, so that a worker can
// type it where the advice is shown: in a terminal, or in a command prompt
// on a Windows machine where the tool is not on PATH.
#include <string>
#include <string_view>

namespace bladeway {

// The command that runs bladeway-cli for the program at `program`: its bare
// name when a folder of `searchPath` (as CommandSearchPath gives it) holds
// it, else its full path beside the program when it is there (as a shell
// argument), else the bare name.
std::string ToolCommandFor(std::string_view program, std::string_view searchPath);
// That command for the running program, looked up once.
const std::string& ToolCommand();

// A path as one argument to the system's shell: as it is, or quoted when it
// holds a blank ("..." on Windows, '...' elsewhere).
std::string ShellArgument(std::string_view path);

}  // namespace bladeway
