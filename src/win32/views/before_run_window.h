#pragma once
// The "Before this run" window over BeforeRunModel: the check's findings,
// "Process anyway" and "Cancel". Cancel is the default (Enter); Escape and
// the close box take it too. Modal over the main window.
#include "core/presentation/before_run_model.h"
#include "win32/kit/message_window.h"

namespace bladeway::win32 {

class BeforeRunWindow final : public MessageWindow {
  public:
    // Shows the findings of `model` over `owner` and gives the choice to the
    // model once the user has made it.
    static void Ask(HWND owner, BeforeRunModel& model);

  private:
    explicit BeforeRunWindow(BeforeRunModel& model) : model_(model) {}

    void OnCommand(int id, int code) override;
    void OnClose() override;
    void Answer(BeforeRunButton button);

    BeforeRunModel& model_;
};

}  // namespace bladeway::win32
