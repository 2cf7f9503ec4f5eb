#include "win32/views/background_run.h"

namespace bladeway::win32 {
namespace {

constexpr const wchar_t* kClassName = L"BladewayBackgroundRun";
// Tasks posted for the user-interface thread wait in the queue.
constexpr UINT kRunPostedMessage = WM_APP + 1;
constexpr UINT_PTR kTimerId = 1;

}  // namespace

BackgroundRun::BackgroundRun(HWND window) : window_(window) {
    RegisterClassOnce(kClassName, 0, nullptr);
    // Message-only: it has no place on the screen and is never shown.
    Create(kClassName, 0, 0, L"", RECT{}, HWND_MESSAGE, 0);
}

RunSessionHooks BackgroundRun::Hooks() {
    return RunSessionHooks{
        .post = [this](std::function<void()> task) { Post(std::move(task)); },
        .startTimer =
            [this](std::chrono::milliseconds interval) {
                SetTimer(Handle(), kTimerId, static_cast<UINT>(interval.count()), nullptr);
            },
        .stopTimer = [this] { KillTimer(Handle(), kTimerId); },
    };
}

void BackgroundRun::Show(RunSessionModel& session) {
    session_ = &session;
    session_->SetView(this);
}

void BackgroundRun::Post(std::function<void()> task) {
    {
        const std::lock_guard lock(mutex_);
        posted_.push_back(std::move(task));
    }
    PostMessageW(Handle(), kRunPostedMessage, 0, 0);
}

// One task at a time, taken out of the queue before it runs: a task may
// post another.
void BackgroundRun::RunPosted() {
    for (;;) {
        std::function<void()> task;
        {
            const std::lock_guard lock(mutex_);
            if (posted_.empty())
                return;
            task = std::move(posted_.front());
            posted_.pop_front();
        }
        task();
    }
}

LRESULT BackgroundRun::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunPostedMessage) {
        RunPosted();
        return 0;
    }
    if (message == WM_TIMER && wParam == kTimerId) {
        session_->Tick();  // only a session started the timer
        return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

// The window keeps painting and its close box works (the model decides what
// it does); its controls are disabled, so the sheet and the settings stay
// as they were when the run began.
void BackgroundRun::Block() {
    for (HWND child = GetWindow(window_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowEnabled(child) != FALSE) {
            EnableWindow(child, FALSE);
            blocked_.push_back(child);
        }
    }
}

void BackgroundRun::Unblock() {
    for (const HWND child : blocked_)
        EnableWindow(child, TRUE);
    blocked_.clear();
}

void BackgroundRun::RunStarting() {
    Block();
    if (!progress_)
        progress_ = std::make_unique<RunProgressWindow>(window_, session_->Progress());
}

void BackgroundRun::ShowProgressWindow() {
    progress_->Show();
}

void BackgroundRun::HideProgressWindow() {
    progress_->Hide();
}

void BackgroundRun::OpenMessage(std::string_view message) {
    message_ = std::make_unique<RunMessageWindow>(progress_->Handle(), message,
                                                  [this](bool stop) { session_->Answer(stop); });
}

void BackgroundRun::CloseMessage() {
    message_.reset();
}

void BackgroundRun::RunEnded() {
    message_.reset();
    Unblock();
}

}  // namespace bladeway::win32
