#pragma once
// The "Before this run" box over BeforeRunModel: its findings, "Process
// anyway" and "Cancel", Cancel the default and the answer of Escape and the
// close box.
class QWidget;

namespace bladeway {

class BeforeRunModel;

// Modal over `parent`; the choice goes to `model`.
void AskBeforeRun(QWidget* parent, BeforeRunModel& model);

}  // namespace bladeway
