#pragma once
// One processing run on a worker thread, as a front end shows it: the main
// window takes no input meanwhile (so the sheet and the preference values
// stay as they were when Process was pressed) but keeps painting; after
// kProgressDelay the progress window with Cancel appears and follows the
// counts every kProgressUpdate. The index message is opened from the
// user-interface thread, above the progress window, while the worker waits
// for the answer; one message at a time. Stop closes a message that is up
// and counts as its answer. No window of the run blocks another, so Cancel,
// the message's buttons and the main window's close box always take effect.
//
// The model runs on the user-interface thread. The front end gives it a way
// to run a task on that thread later (`post`, callable from any thread) and
// one timer of that thread, and calls Tick() when the timer fires.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "core/keydata/sheet.h"
#include "core/keydata/sheet_selection.h"
#include "core/presentation/run_progress_model.h"
#include "core/run/processing_run.h"
#include "core/run/run_check.h"

namespace bladeway {

// What the run shows. Every call comes on the user-interface thread.
class RunSessionView {
  public:
    virtual ~RunSessionView() = default;
    // A run starts: the window it runs over takes no input until RunEnded.
    virtual void RunStarting() = 0;
    // The progress window, a view of RunSessionModel::Progress(), comes into
    // sight (it may be already) or goes.
    virtual void ShowProgressWindow() = 0;
    virtual void HideProgressWindow() = 0;
    // Opens the index message (Windows-1252 bytes) above the progress window
    // without waiting. The user's answer goes to RunSessionModel::Answer,
    // at once (inside this call) or later.
    virtual void OpenMessage(std::string_view message) = 0;
    // Closes the message that is up. An answer its closing gives is ignored.
    virtual void CloseMessage() = 0;
    // The run has ended (or the check before it), its windows are gone.
    virtual void RunEnded() = 0;
};

// The check before the run, its first part on the worker: `find` lists what
// the worker should know (CheckBeforeRun over the run's own sheet and
// selection, so that the check and the run never disagree); when it finds
// something, `confirm` asks on the user-interface thread, the progress
// window hidden meanwhile, and true runs anyway.
struct RunCheckStep {
    std::function<std::vector<RunHazard>(const Sheet& sheet, const SheetSelection& selection,
                                         const RunEnvironment& environment)>
        find;
    std::function<bool(std::vector<RunHazard> hazards)> confirm;
};

// What the front end gives the model.
struct RunSessionHooks {
    // Runs `task` on the user-interface thread after what is queued there;
    // callable from any thread.
    std::function<void(std::function<void()> task)> post;
    // (Re)starts the user-interface thread's timer: Tick() after `interval`
    // and every `interval` after that, until stopTimer.
    std::function<void(std::chrono::milliseconds interval)> startTimer;
    std::function<void()> stopTimer;
};

class RunSessionModel {
  public:
    // How long a run goes before its progress shows, and how often it is
    // brought up to date after that.
    static constexpr std::chrono::milliseconds kProgressDelay{500};
    static constexpr std::chrono::milliseconds kProgressUpdate{50};
    // A check takes a moment at most for a few keys, but seconds for tens of
    // thousands: from this on it shows, so that Process always answers
    // within half a second.
    static constexpr std::chrono::milliseconds kCheckDelay{200};

    // The work of a run; RunProcessing unless a test gives another.
    using RunWork = std::function<RunReport(const Sheet& sheet, const SheetSelection& selection,
                                            const RunEnvironment& environment)>;

    explicit RunSessionModel(RunSessionHooks hooks, RunWork work = nullptr);
    // A run still going is stopped, and waited for, first; a message that
    // waits is answered Stop. Tasks it posted and that run later do nothing.
    ~RunSessionModel();
    RunSessionModel(const RunSessionModel&) = delete;
    RunSessionModel& operator=(const RunSessionModel&) = delete;

    void SetView(RunSessionView* view) { view_ = view; }
    // What the progress window shows: the counts, the line about another
    // program writing the same file (that the run waits for it, or took over
    // its claim), and Cancel, which stops the run.
    RunProgressModel& Progress() { return progress_; }
    // Who started runs hears of each run's end after its view has (the
    // run's windows are gone), with its report; with none when the check
    // before it ended it (Cancel, or not confirmed). Nothing to stop hearing.
    void SetRunEndedListener(std::function<void(const RunReport* report)> listener) {
        ended_ = std::move(listener);
    }

    bool IsRunning() const { return worker_.joinable(); }

    // Starts the run over its own copy of `sheet`, so that the grid's sheet
    // may change meanwhile, and `selection`. The environment's progress, stop
    // request, message and waiting are the ones of this model. Nothing while
    // a run goes on.
    // With a `check`, the progress window says "Checking N keys..." (with
    // Cancel) from kCheckDelay on, while the check goes on.
    void Start(Sheet sheet, std::unique_ptr<SheetSelection> selection,
               const RunEnvironment& environment, RunCheckStep check = {});

    // Asks the run to stop after the key it is on; a message that is up is
    // closed as if Stop Processing had been chosen.
    void Stop();

    // The user's answer to the message that is up: true stops the run. Only
    // the first answer to a message counts, and none while no message is up.
    void Answer(bool stop);

    // The timer fired.
    void Tick();

  private:
    enum class ProgressState { kNone, kWaiting, kShown };

    void ShowProgressWindow();
    bool AskOnUserThread(std::string message);
    // On the worker: the check's findings confirmed on the user-interface
    // thread; false also when the model goes away meanwhile.
    bool ConfirmOnUserThread(std::vector<RunHazard> hazards);
    // Waits on the worker for the answer to what `ask` posted.
    bool AwaitAnswer(std::unique_lock<std::mutex>& lock);
    void OpenMessage(const std::string& message);
    // Hands the answer to the worker waiting for one, if it has none yet.
    void GiveAnswer(bool stop);
    // The run's end on the user-interface thread; no report when the check
    // ended it.
    void EndRun(const RunReport* report);
    // Runs `task` on the user-interface thread unless this model is gone by then.
    void Post(std::function<void()> task);

    RunSessionHooks hooks_;
    RunWork work_;
    RunSessionView* view_ = nullptr;
    RunProgressModel progress_;
    std::function<void(const RunReport* report)> ended_;
    RunCheckStep check_;
    Sheet sheet_;  // the run's own copy
    std::unique_ptr<SheetSelection> selection_;
    ProgressState progressState_ = ProgressState::kNone;
    bool messageOpen_ = false;
    // What the run took over last, shown once its wait has ended.
    std::string takeoverLine_;
    std::thread worker_;

    std::atomic<std::size_t> done_ = 0;
    std::atomic<std::size_t> total_ = 0;
    std::atomic<std::size_t> saving_ = 0;
    std::atomic<bool> checking_ = false;
    std::atomic<bool> stop_ = false;
    // The answer to a message, passed back to the waiting worker.
    std::mutex mutex_;
    std::condition_variable answered_;
    std::optional<bool> answer_;
    bool asking_ = false;  // a message waits for its answer
    bool abandoned_ = false;
    // Posted tasks hold it weakly: gone with the model, they do nothing.
    std::shared_ptr<RunSessionModel*> alive_ = std::make_shared<RunSessionModel*>(this);
};

}  // namespace bladeway
