#pragma once
// What the desktop program takes from the world around it, in one place so
// that tests can give their own: where the program file lies, the file
// system, the start-up About box, how the program ends, how a message is
// shown and what day it is.
#include <functional>
#include <string>

#include <QString>

class QWidget;

namespace bladeway {

class AboutModel;
class BeforeRunModel;
class FileSystem;

struct AppEnvironment {
    // Full path of the running program file; its folder holds Bladeway.INI.
    std::string programPath;
    FileSystem* fileSystem = nullptr;
    // Shows the About box modally and returns when the user has closed it.
    std::function<void(AboutModel& model, QWidget* parent)> showStartupAbout;
    // Ends the program at once; no other window's closing steps run.
    std::function<void()> endProgram;
    // Shows one message with an OK button, titled with the program's title.
    std::function<void(QWidget* parent, const QString& message)> showMessage;
    // Opens the index message of a Process run above `parent` without
    // waiting: the message box of showMessage with a button more that stops
    // the run. Calls `answered(stop)` once answered; returns the message's
    // window, or nullptr when answered already. When empty, showMessage shows
    // it and the run goes on.
    std::function<QWidget*(QWidget* parent, const QString& message,
                           std::function<void(bool stop)> answered)>
        showRunMessage;
    // Shows what the check before a run found and gives the worker's choice
    // to `model`, modally; the "Before this run" box when empty.
    std::function<void(QWidget* parent, BeforeRunModel& model)> askBeforeRun;
    // Today's date as "MM/DD/YY".
    std::function<std::string()> today;
};

// The environment of the real program.
AppEnvironment DesktopEnvironment();

}  // namespace bladeway
