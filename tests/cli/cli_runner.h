#pragma once
// Runs the command-line tool in-process and keeps what it printed.
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace bladeway::testing {

struct CliRun {
    int exitCode = 0;
    std::string out;
    std::string err;
};

inline CliRun RunTool(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunCli(args, out, err);
    return {code, out.str(), err.str()};
}

// True when `text` is exactly one line.
inline bool IsOneLine(const std::string& text) {
    return !text.empty() && text.back() == '\n' && text.find('\n') == text.size() - 1;
}

}  // namespace bladeway::testing
