#include "core/presentation/run_session_model.h"

#include <utility>

#include "core/run/run_rehearsal.h"

namespace bladeway {

RunSessionModel::RunSessionModel(RunSessionHooks hooks, RunWork work)
    : hooks_(std::move(hooks)),
      work_(work ? std::move(work) : RunWork(&RunProcessing)),
      progress_([this] { Stop(); }) {}

RunSessionModel::~RunSessionModel() {
    if (!worker_.joinable())
        return;
    stop_ = true;
    {
        const std::lock_guard lock(mutex_);
        abandoned_ = true;
    }
    answered_.notify_all();
    worker_.join();
    if (progressState_ != ProgressState::kNone)
        hooks_.stopTimer();
}

void RunSessionModel::Post(std::function<void()> task) {
    hooks_.post([alive = std::weak_ptr<RunSessionModel*>(alive_), task = std::move(task)] {
        if (alive.lock())
            task();
    });
}

void RunSessionModel::Start(Sheet sheet, std::unique_ptr<SheetSelection> selection,
                            const RunEnvironment& environment, RunCheckStep check) {
    if (IsRunning())
        return;
    sheet_ = std::move(sheet);
    selection_ = std::move(selection);
    check_ = std::move(check);
    done_ = 0;
    total_ = 0;
    saving_ = 0;
    checking_ = static_cast<bool>(check_.find);
    if (checking_) {
        for (int column = 1; column <= sheet_.ColumnCount(); ++column)
            total_ += ProcessesColumn(*selection_, column) ? 1 : 0;
    }
    stop_ = false;
    abandoned_ = false;
    takeoverLine_.clear();
    messageOpen_ = false;
    view_->RunStarting();
    progress_.Begin({done_, total_, saving_, checking_});
    progressState_ = ProgressState::kWaiting;
    hooks_.startTimer(checking_ ? kCheckDelay : kProgressDelay);

    RunEnvironment hooked = environment;
    hooked.showMessage = [this](std::string_view message) {
        if (AskOnUserThread(std::string(message)))
            stop_ = true;
    };
    hooked.progress = [this](std::size_t done, std::size_t total) {
        done_ = done;
        total_ = total;
    };
    hooked.saving = [this](std::size_t programs) { saving_ = programs; };
    hooked.stopRequested = [this] { return stop_.load(); };
    // A wait shows the progress window at once, with Cancel, whatever the
    // delay; once it ends, the line says what the run took over, if anything.
    hooked.waiting = [this](const WriterWait& wait) {
        Post([this, waits = !wait.path.empty(), line = RunWaitingText(wait)] {
            if (waits)
                ShowProgressWindow();
            progress_.ShowWaiting(waits ? line : takeoverLine_);
        });
    };
    hooked.tookOver = [this](const ClaimTakeover& takeover) {
        Post([this, line = RunTakeoverText(takeover)] {
            takeoverLine_ = line;
            ShowProgressWindow();
            progress_.ShowWaiting(line);
        });
    };
    worker_ = std::thread([this, hooked]() mutable {
        RunRehearsal rehearsal;
        if (checking_) {
            // What the check's trial makes, the run takes instead of making it again.
            hooked.rehearsal = &rehearsal;
            std::vector<RunHazard> hazards = check_.find(sheet_, *selection_, hooked);
            const bool runs =
                !stop_ && (hazards.empty() || ConfirmOnUserThread(std::move(hazards)));
            if (!runs) {
                Post([this] { EndRun(nullptr); });
                return;
            }
            done_ = 0;
            total_ = 0;
            checking_ = false;
        }
        RunReport report = work_(sheet_, *selection_, hooked);
        Post([this, report = std::move(report)] { EndRun(&report); });
    });
}

bool RunSessionModel::ConfirmOnUserThread(std::vector<RunHazard> hazards) {
    std::unique_lock lock(mutex_);
    answer_.reset();
    asking_ = true;
    Post([this, hazards = std::move(hazards)]() mutable {
        // The findings in place of the progress, which comes back after the
        // delay once the run goes on.
        if (progressState_ == ProgressState::kShown)
            view_->HideProgressWindow();
        progressState_ = ProgressState::kNone;
        hooks_.stopTimer();
        const bool proceed = check_.confirm(std::move(hazards));
        if (proceed) {
            progress_.ShowProgress({});
            progressState_ = ProgressState::kWaiting;
            hooks_.startTimer(kProgressDelay);
        }
        GiveAnswer(!proceed);
    });
    return !AwaitAnswer(lock);
}

void RunSessionModel::Tick() {
    if (progressState_ == ProgressState::kWaiting)
        ShowProgressWindow();
    else if (progressState_ == ProgressState::kShown)
        progress_.ShowProgress({done_, total_, saving_, checking_});
}

// From now on the progress window is in sight and follows the counts.
void RunSessionModel::ShowProgressWindow() {
    progress_.ShowProgress({done_, total_, saving_, checking_});
    view_->ShowProgressWindow();
    if (progressState_ != ProgressState::kShown) {
        progressState_ = ProgressState::kShown;
        hooks_.startTimer(kProgressUpdate);
    }
}

void RunSessionModel::Stop() {
    stop_ = true;
    if (messageOpen_) {
        messageOpen_ = false;
        view_->CloseMessage();
    }
    // A message that would not close, or that the worker has asked but the
    // window not yet opened, still gets its answer.
    GiveAnswer(true);
}

// Called on the worker; the message goes to the user-interface thread and
// the worker waits for the answer (or for the model going away).
bool RunSessionModel::AskOnUserThread(std::string message) {
    std::unique_lock lock(mutex_);
    answer_.reset();
    asking_ = true;
    Post([this, message = std::move(message)] { OpenMessage(message); });
    return AwaitAnswer(lock);
}

bool RunSessionModel::AwaitAnswer(std::unique_lock<std::mutex>& lock) {
    answered_.wait(lock, [this] { return answer_.has_value() || abandoned_; });
    asking_ = false;
    return answer_.value_or(true);
}

// The message opens above the progress window, which shows from now on
// whatever the delay, so that Cancel stays at hand.
void RunSessionModel::OpenMessage(const std::string& message) {
    if (stop_) {
        GiveAnswer(true);
        return;
    }
    ShowProgressWindow();
    messageOpen_ = true;
    view_->OpenMessage(message);
}

// Only an answer to the message that is up counts: a second answer to it,
// or a closed message's own answer after Stop, finds none up, and so can
// never answer the next question before the user has seen it.
void RunSessionModel::Answer(bool stop) {
    if (!messageOpen_)
        return;
    messageOpen_ = false;
    GiveAnswer(stop);
}

void RunSessionModel::GiveAnswer(bool stop) {
    {
        const std::lock_guard lock(mutex_);
        if (!asking_ || answer_.has_value())
            return;
        answer_ = stop;
    }
    if (stop)
        stop_ = true;
    answered_.notify_all();
}

void RunSessionModel::EndRun(const RunReport* report) {
    worker_.join();
    if (messageOpen_) {
        messageOpen_ = false;
        view_->CloseMessage();
    }
    progressState_ = ProgressState::kNone;
    hooks_.stopTimer();
    view_->HideProgressWindow();
    // The run's copies go with it: a large sheet is not held twice meanwhile.
    sheet_ = Sheet();
    selection_.reset();
    check_ = {};
    view_->RunEnded();
    if (ended_)
        ended_(report);
}

}  // namespace bladeway
