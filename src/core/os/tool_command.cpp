#include "core/os/tool_command.h"

#include <algorithm>

#include "core/os/native_files.h"
#include "core/os/paths.h"

namespace bladeway {
namespace {

constexpr std::string_view kToolName = "bladeway-cli";
// Windows' shells know the backslash paths, ';' between folders and "...".
constexpr bool kWindowsShell = kPathSeparator == '\\';
constexpr char kSearchPathSeparator = kWindowsShell ? ';' : ':';

// ".exe" where the running program has it, as programs do on Windows.
std::string ProgramSuffix(std::string_view program) {
    const std::size_t dot = program.rfind('.');
    const std::size_t folder = program.find_last_of(kWindowsShell ? "/\\" : "/");
    if (dot == std::string_view::npos || (folder != std::string_view::npos && dot < folder))
        return {};
    return std::string(program.substr(dot));
}

bool IsFile(const std::string& path) {
    return native::StatusOf(path).isRegularFile;
}

}  // namespace

std::string ToolCommandFor(std::string_view program, std::string_view searchPath) {
    const std::string file = std::string(kToolName) + ProgramSuffix(program);
    for (std::size_t start = 0; start < searchPath.size();) {
        const std::size_t end =
            std::min(searchPath.find(kSearchPathSeparator, start), searchPath.size());
        const std::string_view folder = searchPath.substr(start, end - start);
        if (!folder.empty() && IsFile(JoinPathOnce(folder, file)))
            return std::string(kToolName);
        start = end + 1;
    }
    const std::string beside = FolderOfPath(program) + file;
    if (!program.empty() && IsFile(beside))
        return ShellArgument(beside);
    return std::string(kToolName);
}

const std::string& ToolCommand() {
    static const std::string command = ToolCommandFor(RunningProgramPath(), CommandSearchPath());
    return command;
}

std::string ShellArgument(std::string_view path) {
    if (path.find(' ') == std::string_view::npos)
        return std::string(path);
    const char quote = kWindowsShell ? '"' : '\'';
    return quote + std::string(path) + quote;
}

}  // namespace bladeway
