#pragma once
// The two messages of undoing a run, for every window that offers it (the
// run report, the main window's grid menu): the question, Yes or No with No
// first in focus, and what the undo did, a warning when something was left.
#include <string>

#include "core/presentation/run_undo_model.h"

class QWidget;

namespace bladeway {

// Object names, by which tests and tools find the boxes.
inline constexpr const char* kUndoQuestionName = "UndoQuestion";
inline constexpr const char* kUndoOutcomeName = "UndoOutcome";

// A question with Yes and No, No first in focus, titled with the program and
// named `objectName`: asked before a change to the user's files (an undo, a
// repair).
bool AskYesOrNo(QWidget* parent, const std::string& question, const char* objectName);
inline bool AskToUndo(QWidget* parent, const std::string& question) {
    return AskYesOrNo(parent, question, kUndoQuestionName);
}
void TellUndoOutcome(QWidget* parent, const UndoOutcome& outcome);

}  // namespace bladeway
