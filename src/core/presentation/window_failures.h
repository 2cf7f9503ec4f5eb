#pragma once
// What a desktop program says when the system refuses it a window: said
// where the user is, in a message box, since a window that never opens
// looks like a program that hangs.
#include <string>
#include <string_view>

#include "core/run/processing_run.h"

namespace bladeway {

// "Bladeway could not open its main window: REASON" (no reason: none said).
std::string MainWindowFailureText(std::string_view reason);

// The run is done all the same: "Bladeway could not open the run report
// (REASON).", a blank line, then which keys it processed and its summary.
std::string RunReportFailureText(std::string_view reason, const RunReport& report);

}  // namespace bladeway
