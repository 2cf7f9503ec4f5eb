#include "app/background_run.h"

#include <QPushButton>
#include <QWidget>

#include "app/input_blocker.h"
#include "app/run_progress_dialog.h"

namespace bladeway {

BackgroundRun::BackgroundRun(QWidget& window, MessageShower showMessage)
    : window_(window), showMessage_(std::move(showMessage)) {
    // Only a session started the timer.
    connect(&timer_, &QTimer::timeout, this, [this] { session_->Tick(); });
}

BackgroundRun::~BackgroundRun() = default;

RunSessionHooks BackgroundRun::Hooks() {
    return RunSessionHooks{
        .post =
            [this](std::function<void()> task) {
                QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
            },
        .startTimer = [this](std::chrono::milliseconds interval) { timer_.start(interval); },
        .stopTimer = [this] { timer_.stop(); },
    };
}

void BackgroundRun::Show(RunSessionModel& session) {
    session_ = &session;
    session_->SetView(this);
}

void BackgroundRun::RunStarting() {
    blocker_ = std::make_unique<InputBlocker>(window_);
    if (progress_ == nullptr)
        progress_ = new RunProgressDialog(&window_, session_->Progress());
}

void BackgroundRun::ShowProgressWindow() {
    if (!progress_->isVisible())
        progress_->show();
}

void BackgroundRun::HideProgressWindow() {
    progress_->hide();
}

void BackgroundRun::OpenMessage(std::string_view message) {
    message_ = showMessage_(*progress_, message, [this](bool stop) { session_->Answer(stop); });
}

void BackgroundRun::CloseMessage() {
    if (message_ != nullptr)
        message_->close();
}

void BackgroundRun::RunEnded() {
    blocker_.reset();
}

}  // namespace bladeway
