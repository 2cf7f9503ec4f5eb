#pragma once
// The two messages of undoing a run, for every window that offers it (the
// run report, the main window's grid menu): the question, Yes or No with No
// first in focus, and what the undo did, a warning when something was left.
#include <string>

#include "core/presentation/run_undo_model.h"
#include "win32/kit/windows_api.h"

namespace bladeway::win32 {

// A question with Yes and No, No first in focus, titled with the program:
// asked before a change to the user's files (an undo, a repair).
bool AskYesOrNo(HWND owner, const std::string& question);
inline bool AskToUndo(HWND owner, const std::string& question) {
    return AskYesOrNo(owner, question);
}
// What the undo did: a message box, or, when it leaves lines out, a window
// of its own with OK and Copy all lines, which copies every line.
void TellUndoOutcome(HWND owner, const UndoOutcome& outcome);

}  // namespace bladeway::win32
