#pragma once
// The Qt side of the main window model's run session (RunSessionModel): the
// user-interface thread's queue and timer for it, the input blocker over the
// main window, the progress dialog and the index message as the run's views.
#include <functional>
#include <memory>
#include <string_view>

#include <QObject>
#include <QPointer>
#include <QTimer>

#include "core/presentation/run_session_model.h"

class QWidget;

namespace bladeway {

class InputBlocker;
class RunProgressDialog;

class BackgroundRun final : public QObject, private RunSessionView {
    Q_OBJECT

  public:
    // Opens the index message (Windows-1252 bytes) above `above` without
    // waiting, and calls `answered(stop)` once the user has answered (at once
    // is allowed). Returns the message's window, or nullptr when answered.
    using MessageShower = std::function<QWidget*(QWidget& above, std::string_view message,
                                                 std::function<void(bool stop)> answered)>;

    BackgroundRun(QWidget& window, MessageShower showMessage);
    ~BackgroundRun() override;

    // The user-interface thread's queue and timer, for the run session.
    RunSessionHooks Hooks();
    // Shows the runs of `session`, made over Hooks(); it goes first
    // (MainWindowModel::EndRunSession).
    void Show(RunSessionModel& session);

    // The progress dialog of the run going on, once made; for tests.
    RunProgressDialog* ProgressDialog() const { return progress_; }

  private:
    void RunStarting() override;
    void ShowProgressWindow() override;
    void HideProgressWindow() override;
    void OpenMessage(std::string_view message) override;
    void CloseMessage() override;
    void RunEnded() override;

    QWidget& window_;
    MessageShower showMessage_;
    std::unique_ptr<InputBlocker> blocker_;
    RunProgressDialog* progress_ = nullptr;
    QTimer timer_;
    QPointer<QWidget> message_;  // the message that is up, if any
    RunSessionModel* session_ = nullptr;
};

}  // namespace bladeway
