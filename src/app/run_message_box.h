#pragma once
// The index message as a run shows it: the message box of every other
// message (warning icon, OK, titled Bladeway) with one more button that
// stops the run, so that a run meeting the message for every key can be
// ended. OK and Escape go on with the run.
#include <QString>

class QWidget;

namespace bladeway {

inline constexpr const char* kStopRunCaption = "Stop Processing";

// True when the user chose to stop the run.
bool ShowRunMessage(QWidget* parent, const QString& message);

}  // namespace bladeway
