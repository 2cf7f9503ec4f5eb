#pragma once
// The command-line tool's report as the desktop program's reads: without the
// last line that names the run kept for undo, which only the tool prints.
#include <string>

namespace bladeway::testing {

inline std::string WithoutUndoLine(std::string report) {
    if (const auto line = report.rfind("Kept for undo as run "); line != std::string::npos)
        report.erase(line);
    return report;
}

}  // namespace bladeway::testing
