// The windows of a run that goes on, without a window: the progress count
// and Cancel, the index message's one answer, and where that message goes.
#include "core/presentation/run_progress_model.h"

#include <gtest/gtest.h>

namespace bladeway {
namespace {

class FakeProgressView final : public RunProgressView {
  public:
    void ShowCount(const std::string& shown, std::size_t keysDone, std::size_t keys) override {
        text = shown;
        done = keysDone;
        total = keys;
    }
    void ShowCancel(std::string_view shown, bool enabled) override {
        caption = shown;
        cancelEnabled = enabled;
    }
    void ShowWaiting(const std::string& shown) override { waiting = shown; }

    std::string text, caption, waiting;
    std::size_t done = 99, total = 99;
    bool cancelEnabled = false;
};

// Cancel, Escape and the close box all come here: only the first asks the
// run to stop; the next run starts afresh. A window made during a run shows
// at once where it is.
TEST(RunProgressModelTest, CountsInGroupedNumbersAndAsksTheRunToStopOnce) {
    FakeProgressView view;
    int stops = 0;
    RunProgressModel model([&stops] { ++stops; });
    model.Begin();
    model.SetView(&view);
    EXPECT_EQ(view.text, "Writing programs: 0 of 0 keys");
    EXPECT_EQ(view.caption, "Cancel");
    EXPECT_TRUE(view.cancelEnabled);
    model.ShowProgress({1234, 3000});
    EXPECT_EQ(view.text, "Writing programs: 1,234 of 3,000 keys");
    EXPECT_EQ(model.Text(), view.text);
    EXPECT_EQ(view.done, 1234U);
    EXPECT_EQ(view.total, 3000U);
    // While a batch is saved the text says so; the bar keeps counting keys.
    model.ShowProgress({2000, 3000, 2000});
    EXPECT_EQ(view.text, "Saving 2,000 programs to disk\u2026");
    EXPECT_EQ(view.done, 2000U);
    model.ShowProgress({3000, 3000, 1});
    EXPECT_EQ(view.text, "Saving 1 program to disk\u2026");

    model.ShowWaiting("Waiting for another program writing '/srv/INDICE.Prg'");

    model.Cancel();
    model.Cancel();
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(view.caption, "Stopping...");
    EXPECT_FALSE(view.cancelEnabled);
    FakeProgressView later;  // made while the run stops
    model.SetView(&later);
    EXPECT_EQ(later.text, "Saving 1 program to disk\u2026");
    EXPECT_EQ(later.done, 3000U);
    EXPECT_EQ(later.caption, "Stopping...");
    EXPECT_FALSE(later.cancelEnabled);
    EXPECT_EQ(later.waiting, "Waiting for another program writing '/srv/INDICE.Prg'");

    model.Begin({0, 3, 0, true});
    EXPECT_EQ(later.caption, "Cancel");
    EXPECT_TRUE(later.cancelEnabled);
    EXPECT_EQ(later.text, "Checking 3 keys\u2026");
    EXPECT_EQ(later.waiting, "");
    model.Cancel();
    EXPECT_EQ(stops, 2);
}

TEST(RunMessageModelTest, OnlyOkGoesOnAndTheRunHearsOneAnswer) {
    EXPECT_FALSE(RunMessageStops(kRunMessageDefault)) << "Return goes on";
    EXPECT_TRUE(RunMessageStops(kRunMessageEscape)) << "Escape and the close box stop";
    for (const RunMessageButton first :
         {RunMessageButton::kOk, RunMessageButton::kStopProcessing}) {
        std::vector<bool> answers;
        RunMessageModel message([&answers](bool stop) { answers.push_back(stop); });
        message.Answer(first);
        message.Escape();  // a box that reports its closing again
        EXPECT_TRUE(message.Answered());
        EXPECT_EQ(answers, std::vector<bool>{first == RunMessageButton::kStopProcessing});
    }
}

TEST(RunMessagePlaceTest, AboveTheProgressWindowElseBelowItCentredAndOnTheScreen) {
    const PixelRect screen{0, 0, 1024, 768};
    const PixelRect progress{300, 400, 380, 140};
    struct Case {
        const char* what;
        PixelRect progress;
        PixelRect available;
        PixelPoint place;
    };
    for (const Case& test : std::vector<Case>{
             {"above, centred", progress, screen, {290, 200}},
             {"no room above: below", {300, 100, 380, 140}, screen, {290, 240}},
             {"kept off the right edge", {800, 400, 380, 140}, screen, {623, 200}},
             {"kept off the left edge", {-150, 400, 380, 140}, screen, {0, 200}},
             {"below a panel on top of a second screen",
              {1400, 200, 380, 140},
              {1024, 24, 1280, 776},
              {1390, 340}},
         }) {
        EXPECT_EQ(RunMessagePlace(test.progress, 400, 200, test.available), test.place)
            << test.what;
    }
    // A box wider than the screen starts at its left edge.
    EXPECT_EQ(RunMessagePlace(progress, 1100, 200, screen), (PixelPoint{0, 200}));
}

}  // namespace
}  // namespace bladeway
