#pragma once

// The two windows of a run that goes on: the progress window ("Writing
// programs: 1,234 of 3,000 keys", a bar, and Cancel) and the index message as
// the run shows it, above the progress window.
//
// Cancel, Escape and the progress window's close box ask the run to stop,
// once; the window then says "Stopping..." and stays until the run has ended
// (the key that has begun is finished and the index written first). Neither
// window blocks the other: the message's Stop Processing, the progress
// window's Cancel and the main window's close box all work while the message
// is up.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/presentation/control_text.h"
#include "core/presentation/pixel_rect.h"
#include "core/presentation/program_title.h"
#include "core/storage/writer_lock.h"

namespace bladeway {

// The progress window lays itself out: its text, the bar, a line that says
// when the run waits for another program, then Cancel at the right, at least
// this wide.
inline constexpr ControlText kRunProgressWindow{"RunProgress", kProgramTitle};
inline constexpr std::int64_t kRunProgressMinimumWidth = 5400;  // twips
inline constexpr ControlText kRunProgressText{"ProgressText"};
inline constexpr ControlText kRunProgressWaiting{"WaitingText"};
inline constexpr ControlText kRunProgressCancel{"Cancel", "Cancel"};
inline constexpr std::string_view kStoppingCaption = "Stopping...";

// Where a run is: keys done of all it will process, and while a batch of
// programs is made durable and moved into place, their number (else 0).
struct RunCounts {
    std::size_t done = 0;
    std::size_t total = 0;
    std::size_t saving = 0;
    bool checking = false;  // the check before the run goes on: nothing is written yet
    bool operator==(const RunCounts&) const = default;
};

// "Writing programs: 1,234 of 3,000 keys", while a batch is saved "Saving
// 2,000 programs to disk…", and before the run "Checking 3,000 keys…"
std::string RunProgressText(const RunCounts& counts);
// "Waiting for another program writing '/srv/millrun/INDICE.Prg' (bladeway
// 2.2.0 on STATION-2, process 4711)"; empty once the wait ends.
std::string RunWaitingText(const WriterWait& wait);
// "Took over the claim of STATION-2, process 4711, idle for 41 s, to write
// '/srv/millrun/INDICE.Prg'"
std::string RunTakeoverText(const ClaimTakeover& takeover);

// What the progress model tells its window.
class RunProgressView {
  public:
    virtual ~RunProgressView() = default;

    // The text and the bar, which counts in keys.
    virtual void ShowCount(const std::string& text, std::size_t done, std::size_t total) = 0;
    virtual void ShowCancel(std::string_view caption, bool enabled) = 0;
    // The waiting line; empty when the run waits for nothing.
    virtual void ShowWaiting(const std::string& text) = 0;
};

// The run session owns it (RunSessionModel::Progress) and tells it the
// counts; the progress window only shows it and hands it Cancel.
class RunProgressModel {
  public:
    // `stop` asks the run to stop before its next key.
    explicit RunProgressModel(std::function<void()> stop) : stop_(std::move(stop)) {}

    // The window that shows the model from now on, shown at once all the
    // model holds; none: nothing is shown.
    void SetView(RunProgressView* view);

    // A run begins at these counts: Cancel ready, no waiting line.
    void Begin(const RunCounts& counts = {});
    void ShowProgress(const RunCounts& counts);
    // The line about another program writing the same file (RunWaitingText,
    // RunTakeoverText); empty: none.
    void ShowWaiting(std::string_view line);
    // Cancel, Escape or the close box: the first asks the run to stop and
    // turns Cancel into "Stopping...", disabled; later ones do nothing.
    void Cancel();

    std::string Text() const { return RunProgressText(counts_); }

  private:
    std::string_view CancelCaption() const;

    std::function<void()> stop_;
    RunProgressView* view_ = nullptr;
    RunCounts counts_;
    std::string waiting_;
    bool stopping_ = false;
};

// The index message: the message box of every other message (a warning,
// titled with the program's name, OK) with one more button that stops the
// run, so that a run meeting the message for every key can be ended.
inline constexpr std::string_view kRunMessageObjectName = "RunMessage";
inline constexpr std::string_view kRunMessageCaption = kProgramTitle;
inline constexpr ControlText kRunMessageStop{"StopRun", "Stop Processing"};

enum class RunMessageButton : std::uint8_t { kOk, kStopProcessing };
// Return presses OK and goes on with the run; Escape and the close box
// answer as Stop Processing does.
inline constexpr RunMessageButton kRunMessageDefault = RunMessageButton::kOk;
inline constexpr RunMessageButton kRunMessageEscape = RunMessageButton::kStopProcessing;

// True when the answer stops the run: all but OK.
bool RunMessageStops(RunMessageButton answer);

// The message's one answer, told to the run once however many ways the box
// reports its closing.
class RunMessageModel {
  public:
    explicit RunMessageModel(std::function<void(bool stop)> answered);

    void Answer(RunMessageButton button);
    // Escape and the close box.
    void Escape() { Answer(kRunMessageEscape); }
    bool Answered() const { return answered_ == nullptr; }

  private:
    std::function<void(bool stop)> answered_;
};

// Where the message box goes (its outer top-left corner): just above the
// progress window (`progress`, its frame included), or just below it when
// the screen's free area (`available`) has no room above, rather than over
// it, so that Cancel stays in sight; centred on it across, kept on the
// screen. The box is `boxWidth` wide and `boxHeight` high with its title bar.
PixelPoint RunMessagePlace(const PixelRect& progress, std::int64_t boxWidth, std::int64_t boxHeight,
                           const PixelRect& available);

}  // namespace bladeway
