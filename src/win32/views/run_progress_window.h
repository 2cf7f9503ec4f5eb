#pragma once
// The progress window of a long run (RunProgress) as a Win32 window, a view
// over RunProgressModel, which words the count and decides what Cancel
// does. Cancel, Escape and the close box ask the run to stop; the window
// stays until the run has ended. It is modeless: the run's message opens
// above it and neither blocks the other.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/presentation/run_progress_model.h"
#include "win32/kit/dialog_window.h"

namespace bladeway::win32 {

class RunProgressWindow final : public DialogWindow, private RunProgressView {
  public:
    // Owned by `owner` (the main window), hidden until Show; shows `model`
    // (the run session's) from now on, until its owner ends that
    // (RunProgressModel::SetView(nullptr)) before the model goes.
    RunProgressWindow(HWND owner, RunProgressModel& model);

    // Comes into sight, active, so that Escape cancels at once; shown
    // already, it stays as it is (a message may be above it).
    void Show();
    // The run has ended: the window goes.
    void Hide();

    const RunProgressModel& Model() const { return model_; }

  private:
    void OnCommand(int id, int code) override;
    void OnClose() override { model_.Cancel(); }

    // RunProgressView
    void ShowCount(const std::string& text, std::size_t done, std::size_t total) override;
    void ShowCancel(std::string_view caption, bool enabled) override;
    void ShowWaiting(const std::string& text) override;

    RunProgressModel& model_;
    std::int64_t innerWidth_ = 0;  // the widest the lines have been (twips)
};

}  // namespace bladeway::win32
