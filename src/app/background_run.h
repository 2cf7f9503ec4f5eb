#pragma once
// One processing run on a worker thread. The main window takes no input
// while it goes on (so the sheet and the preference values stay as they
// were when Process was pressed) but keeps painting; after about half a
// second a progress dialog with Cancel appears. The index message is shown
// from the user-interface thread, above the progress dialog, while the run
// waits for the answer; no window of the run blocks another, so Cancel, the
// message's buttons and the main window's close box always take effect.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include <QObject>
#include <QPointer>
#include <QTimer>

#include "core/run/processing_run.h"

class QWidget;

namespace bladeway {

class InputBlocker;
class RunProgressDialog;

class BackgroundRun final : public QObject {
    Q_OBJECT

  public:
    // Opens the index message (Windows-1252 bytes) above `above` without
    // waiting, and calls `answered(stop)` once the user has answered (at once
    // is allowed). Returns the message's window, or nullptr when answered.
    using MessageShower = std::function<QWidget*(QWidget& above, std::string_view message,
                                                 std::function<void(bool stop)> answered)>;
    // How long a run goes before its progress shows.
    static constexpr int kProgressDelayMs = 500;

    BackgroundRun(QWidget& window, MessageShower showMessage);
    // A run still going is stopped, and waited for, first.
    ~BackgroundRun() override;

    bool IsRunning() const { return worker_.joinable(); }

    // Asks the run to stop after the key it is on; a message that is up is
    // closed as if Stop Processing had been chosen.
    void Stop();

    // Starts the run over `sheet` and `selection` (both must stay unchanged
    // and alive until Finished). The environment's progress, stop request
    // and message are the ones of this object.
    void Start(const Sheet& sheet, std::unique_ptr<SheetSelection> selection,
               const RunEnvironment& environment);

    // The progress dialog of the run going on, once made; for tests.
    RunProgressDialog* ProgressDialog() const { return progress_; }

  signals:
    void Finished(const bladeway::RunReport& report);

  private:
    void ShowProgress();
    void ShowProgressWindow();
    bool AskOnUserThread(std::string message);
    void OpenMessage(const std::string& message);
    void Answer(bool stop);
    void EndRun(RunReport report);

    QWidget& window_;
    MessageShower showMessage_;
    std::unique_ptr<InputBlocker> blocker_;
    std::unique_ptr<SheetSelection> selection_;
    RunProgressDialog* progress_ = nullptr;
    QTimer progressDelay_;
    QTimer progressUpdate_;
    std::thread worker_;

    std::atomic<std::size_t> done_ = 0;
    std::atomic<std::size_t> total_ = 0;
    std::atomic<bool> stop_ = false;
    // The answer to a message, passed back to the waiting worker.
    std::mutex mutex_;
    std::condition_variable answered_;
    std::optional<bool> answer_;
    bool asking_ = false;  // a message waits for its answer
    bool abandoned_ = false;
    QPointer<QWidget> message_;  // the message that is up, if any
};

}  // namespace bladeway
