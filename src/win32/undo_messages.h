#pragma once
// The two messages of undoing a run, for every window that offers it (the
// run report, the main window's grid menu): the question, Yes or No with No
// first in focus, and what the undo did, a warning when something was left.
#include <string>

#include "win32/windows_api.h"

namespace bladeway::win32 {

bool AskToUndo(HWND owner, const std::string& question);
void TellUndoOutcome(HWND owner, const std::string& text, bool complete);

}  // namespace bladeway::win32
