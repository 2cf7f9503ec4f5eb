#include "core/presentation/run_progress_model.h"

#include <algorithm>
#include <utility>

#include "core/run/run_report_text.h"
#include "core/text/text.h"

namespace bladeway {

std::string RunProgressText(const RunCounts& counts) {
    if (counts.checking)
        return "Checking " + Plural(counts.total, "key") + "\u2026";
    if (counts.saving > 0) {
        return "Saving " + Plural(counts.saving, "program") + " to disk\u2026";
    }
    return "Writing programs: " + GroupedCount(counts.done) + " of " + GroupedCount(counts.total) +
           " keys";
}

std::string RunWaitingText(const WriterWait& wait) {
    if (wait.path.empty())
        return {};
    return "Waiting for another program writing '" + ShowPath(wait.path) + "'" +
           (wait.holder.empty() ? "" : " (" + ShowPath(wait.holder) + ")");
}

std::string RunTakeoverText(const ClaimTakeover& takeover) {
    std::string text = ShowPath(TakeoverText(takeover));
    text[0] = ToUpperAscii(text[0]);
    return text;
}

void RunProgressModel::SetView(RunProgressView* view) {
    view_ = view;
    if (view_ == nullptr)
        return;
    view_->ShowCount(Text(), counts_.done, counts_.total);
    view_->ShowCancel(CancelCaption(), !stopping_);
    view_->ShowWaiting(waiting_);
}

std::string_view RunProgressModel::CancelCaption() const {
    return stopping_ ? kStoppingCaption : kRunProgressCancel.caption;
}

void RunProgressModel::Begin(const RunCounts& counts) {
    stopping_ = false;
    if (view_ != nullptr)
        view_->ShowCancel(CancelCaption(), /*enabled=*/true);
    ShowProgress(counts);
    if (!waiting_.empty())
        ShowWaiting({});
}

void RunProgressModel::ShowWaiting(std::string_view line) {
    waiting_ = line;
    if (view_ != nullptr)
        view_->ShowWaiting(waiting_);
}

void RunProgressModel::ShowProgress(const RunCounts& counts) {
    counts_ = counts;
    if (view_ != nullptr)
        view_->ShowCount(Text(), counts.done, counts.total);
}

void RunProgressModel::Cancel() {
    if (stopping_)
        return;
    stopping_ = true;
    if (view_ != nullptr)
        view_->ShowCancel(CancelCaption(), /*enabled=*/false);
    if (stop_)
        stop_();
}

bool RunMessageStops(RunMessageButton answer) {
    return answer != RunMessageButton::kOk;
}

RunMessageModel::RunMessageModel(std::function<void(bool stop)> answered)
    : answered_(std::move(answered)) {}

void RunMessageModel::Answer(RunMessageButton button) {
    if (answered_ == nullptr)
        return;
    // Emptied before the call: an answer that closes the box again is not told twice.
    const std::function<void(bool stop)> answered = std::exchange(answered_, nullptr);
    answered(RunMessageStops(button));
}

PixelPoint RunMessagePlace(const PixelRect& progress, std::int64_t boxWidth, std::int64_t boxHeight,
                           const PixelRect& available) {
    PixelPoint place{progress.left + (progress.width - boxWidth) / 2, progress.top - boxHeight};
    if (place.y < available.top)
        place.y = progress.top + progress.height;
    // The last pixel column of the screen is left + width - 1.
    const std::int64_t rightmost = available.left + available.width - 1 - boxWidth;
    place.x = std::clamp(place.x, available.left, std::max(available.left, rightmost));
    return place;
}

}  // namespace bladeway
