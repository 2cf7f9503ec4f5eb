#include "app/background_run.h"

#include <QPushButton>
#include <QWidget>

#include "app/input_blocker.h"
#include "app/run_progress_dialog.h"

namespace bladeway {
namespace {

constexpr int kProgressUpdateMs = 50;

}  // namespace

BackgroundRun::BackgroundRun(QWidget& window, MessageShower showMessage)
    : window_(window), showMessage_(std::move(showMessage)) {
    progressDelay_.setSingleShot(true);
    progressDelay_.setInterval(kProgressDelayMs);
    progressUpdate_.setInterval(kProgressUpdateMs);
    connect(&progressDelay_, &QTimer::timeout, this, &BackgroundRun::ShowProgressWindow);
    connect(&progressUpdate_, &QTimer::timeout, this, &BackgroundRun::ShowProgress);
}

BackgroundRun::~BackgroundRun() {
    if (!worker_.joinable())
        return;
    Stop();
    {
        const std::lock_guard lock(mutex_);
        abandoned_ = true;
    }
    answered_.notify_all();
    worker_.join();
}

void BackgroundRun::Start(const Sheet& sheet, std::unique_ptr<SheetSelection> selection,
                          const RunEnvironment& environment) {
    if (IsRunning())
        return;
    selection_ = std::move(selection);
    blocker_ = std::make_unique<InputBlocker>(window_);
    done_ = 0;
    total_ = 0;
    stop_ = false;
    abandoned_ = false;
    if (progress_ == nullptr) {
        progress_ = new RunProgressDialog(&window_);
        connect(progress_, &RunProgressDialog::StopRequested, this, &BackgroundRun::Stop);
    }
    progress_->CancelButton().setEnabled(true);
    progress_->CancelButton().setText(QStringLiteral("Cancel"));
    progress_->ShowProgress(0, 0);
    progressDelay_.start();

    const RunEnvironment hooked{
        environment.preferences,
        environment.flatTemplateMode,
        environment.fileSystem,
        environment.today,
        [this](std::string_view message) {
            if (AskOnUserThread(std::string(message)))
                stop_ = true;
        },
        [this](std::size_t done, std::size_t total) {
            done_ = done;
            total_ = total;
        },
        [this] { return stop_.load(); },
    };
    worker_ = std::thread([this, &sheet, hooked] {
        RunReport report = RunProcessing(sheet, *selection_, hooked);
        QMetaObject::invokeMethod(
            this, [this, report = std::move(report)]() mutable { EndRun(std::move(report)); },
            Qt::QueuedConnection);
    });
}

void BackgroundRun::ShowProgress() {
    progress_->ShowProgress(done_, total_);
}

void BackgroundRun::ShowProgressWindow() {
    progressDelay_.stop();
    ShowProgress();
    if (!progress_->isVisible())
        progress_->show();
    if (!progressUpdate_.isActive())
        progressUpdate_.start();
}

void BackgroundRun::Stop() {
    stop_ = true;
    if (message_ != nullptr)
        message_->close();
    // A message that would not close still gets its answer.
    Answer(true);
}

// Called on the worker; the message goes to the user-interface thread and
// the worker waits for the answer (or for the window going away).
bool BackgroundRun::AskOnUserThread(std::string message) {
    std::unique_lock lock(mutex_);
    answer_.reset();
    asking_ = true;
    QMetaObject::invokeMethod(
        this, [this, message = std::move(message)] { OpenMessage(message); }, Qt::QueuedConnection);
    answered_.wait(lock, [this] { return answer_.has_value() || abandoned_; });
    asking_ = false;
    return answer_.value_or(true);
}

// The message opens above the progress window, which shows from now on
// whatever the delay, so that Cancel stays at hand.
void BackgroundRun::OpenMessage(const std::string& message) {
    if (stop_) {
        Answer(true);
        return;
    }
    ShowProgressWindow();
    message_ = showMessage_(*progress_, message, [this](bool stop) { Answer(stop); });
}

// The first answer to the message waiting counts; later ones (a closed
// message's own signal after Stop) find none waiting.
void BackgroundRun::Answer(bool stop) {
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

void BackgroundRun::EndRun(RunReport report) {
    worker_.join();
    if (message_ != nullptr)
        message_->close();
    progressDelay_.stop();
    progressUpdate_.stop();
    progress_->hide();
    blocker_.reset();
    selection_.reset();
    emit Finished(report);
}

}  // namespace bladeway
