#pragma once
// The Win32 side of the main window model's run session (RunSessionModel):
// the user-interface thread's queue and timer for it (a private message posted to a
// message-only window, and that window's timer), the main window's controls
// taking no input while the run goes on, the progress window and the index
// message as the run's views.
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

#include "core/presentation/run_session_model.h"
#include "win32/kit/window.h"
#include "win32/views/run_message_window.h"
#include "win32/views/run_progress_window.h"

namespace bladeway::win32 {

class BackgroundRun final : public Window, private RunSessionView {
  public:
    // The runs go on over `window`.
    explicit BackgroundRun(HWND window);

    // This thread's queue and timer, for the run session.
    RunSessionHooks Hooks();
    // Shows the runs of `session`, made over Hooks(); it goes first
    // (MainWindowModel::EndRunSession).
    void Show(RunSessionModel& session);

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Runs `task` on this thread after what is queued there; any thread.
    void Post(std::function<void()> task);
    void RunPosted();
    // The window's controls take no input until Unblock.
    void Block();
    void Unblock();

    // RunSessionView
    void RunStarting() override;
    void ShowProgressWindow() override;
    void HideProgressWindow() override;
    void OpenMessage(std::string_view message) override;
    void CloseMessage() override;
    void RunEnded() override;

    HWND window_;
    std::mutex mutex_;
    std::deque<std::function<void()>> posted_;
    // The controls this run disabled, to enable again at its end.
    std::vector<HWND> blocked_;
    std::unique_ptr<RunProgressWindow> progress_;
    std::unique_ptr<RunMessageWindow> message_;  // the last message, up or answered
    RunSessionModel* session_ = nullptr;
};

}  // namespace bladeway::win32
