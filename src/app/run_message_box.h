#pragma once
// The index message as a run shows it: the message box of every other
// message (warning icon, OK, titled Bladeway) with one more button that
// stops the run, so that a run meeting the message for every key can be
// ended. OK and Return go on with the run; Stop Processing, Escape and the
// close box stop it.
//
// The box does not block: it opens above `parent` (the run's progress
// window) and answers through `answered`, once, when it closes. So no
// window of the run waits on another: the progress window's Cancel and the
// main window's close box still work while the message is up.
#include <functional>

#include <QString>

class QWidget;

namespace bladeway {

inline constexpr const char* kStopRunCaption = "Stop Processing";

// Opens the message and returns its window (deleted once closed).
// `answered(stop)` is called when it closes: stop is true unless OK was chosen.
QWidget* OpenRunMessage(QWidget* parent, const QString& message,
                        std::function<void(bool stop)> answered);

}  // namespace bladeway
