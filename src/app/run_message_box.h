#pragma once
// The index message as a run shows it (RunMessage): a QMessageBox over
// RunMessageModel (core/presentation/run_progress_model.h), which gives its
// texts and buttons and tells the run its one answer. OK and Return go on
// with the run; Stop Processing, Escape and the close box stop it.
//
// The box does not block: it opens above `parent` (the run's progress
// window) and answers through `answered`, once, when it closes. So no
// window of the run waits on another: the progress window's Cancel and the
// main window's close box still work while the message is up.
#include <functional>

#include <QString>

#include "core/presentation/run_progress_model.h"

class QWidget;

namespace bladeway {

inline constexpr const char* kStopRunCaption = kRunMessageStop.caption.data();

// Opens the message and returns its window (deleted once closed).
// `answered(stop)` is called when it closes: stop is true unless OK was chosen.
QWidget* OpenRunMessage(QWidget* parent, const QString& message,
                        std::function<void(bool stop)> answered);

}  // namespace bladeway
