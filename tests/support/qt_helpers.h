#pragma once
// Helpers for the GUI tests: acting on a modal dialog from inside its own
// event loop, and the settings file of a test.
#include <functional>
#include <string>

#include <QString>

class QWidget;

namespace bladeway::testing {

// Once a modal window named `objectName` is shown, runs `action` on it (from
// inside its exec()). Gives up after a few seconds, so a test that fails to
// open the dialog does not hang.
void WhenModalShown(const QString& objectName, std::function<void(QWidget&)> action);

// Lets queued events run until `done` holds, at most `timeoutMs`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 3000);

}  // namespace bladeway::testing
