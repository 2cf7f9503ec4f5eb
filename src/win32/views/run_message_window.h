#pragma once
// The index message as a run shows it (RunMessage): a warning box over
// RunMessageModel, which gives its texts and buttons and tells the run its
// one answer. OK and Enter go on with the run; Stop Processing, Escape and
// the close box stop it.
//
// The box does not block: it opens above its owner (the run's progress
// window), where RunMessagePlace puts it, and answers through `answered`
// once, when the user answers; the window then goes by itself. So no window
// of the run waits on another: the progress window's Cancel and the main
// window's close box still work while the message is up.
#include <functional>
#include <string_view>

#include "core/presentation/run_progress_model.h"
#include "win32/kit/message_window.h"

namespace bladeway::win32 {

class RunMessageWindow final : public MessageWindow {
  public:
    // `message`: Windows-1252 bytes. `answered(stop)`: stop is true unless
    // OK was chosen.
    RunMessageWindow(HWND owner, std::string_view message, std::function<void(bool stop)> answered);

  private:
    void OnCommand(int id, int code) override;
    void OnClose() override;
    int IdOf(RunMessageButton button) const;
    // Tells the run the answer and takes the window away.
    void Answer(RunMessageButton button);
    // Puts the window beside its owner.
    void PlaceBesideOwner();

    RunMessageModel model_;
};

}  // namespace bladeway::win32
