// The run's protocol between the worker and the user-interface thread,
// without a front end: the user-interface thread is a queue the test drains
// by hand, and its timer fires when the test says so.
#include "core/presentation/run_session_model.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "run_session_doubles.h"

namespace bladeway {
namespace {

using RecordingView = testing::RecordingRunView;

// The progress window at the start of a run, before its first key.
const std::string kNoneWritten = "progress 0 of 0: Writing programs: 0 of 0 keys";

class RunSessionModelTest : public ::testing::Test {
  protected:
    // A model whose run is `work`.
    void Make(RunSessionModel::RunWork work) {
        model = std::make_unique<RunSessionModel>(
            RunSessionHooks{
                .post = [this](std::function<void()> task) { queue.Post(std::move(task)); },
                .startTimer = [this](std::chrono::milliseconds interval) { timer = interval; },
                .stopTimer = [this] { timer.reset(); },
            },
            std::move(work));
        model->SetView(&view);
        model->Progress().SetView(&view);
        model->SetRunEndedListener([this](const RunReport* report) { view.Ended(report); });
        view.model = model.get();
        view.events.clear();  // what the progress window was shown at once
    }
    // A run that asks each of `questions` in turn while no stop is asked for.
    void MakeAsking(std::vector<std::string> questions) {
        Make([this, questions](const Sheet&, const SheetSelection&,
                               const RunEnvironment& environment) {
            for (std::size_t i = 0; i < questions.size() && !environment.stopRequested(); ++i) {
                ++asked;
                environment.showMessage(questions[i]);
            }
            RunReport report;
            report.stopped = environment.stopRequested();
            return report;
        });
    }
    void Start(RunCheckStep check = {}) {
        model->Start(
            sheet, std::make_unique<NoSelection>(),
            RunEnvironment{.preferences = preferences, .fileSystem = Disk(), .showMessage = {}},
            std::move(check));
    }
    // The timer's interval passes.
    void Fire() {
        ASSERT_TRUE(timer.has_value());
        model->Tick();
    }
    std::size_t Count(const std::string& event) const {
        return static_cast<std::size_t>(std::count(view.events.begin(), view.events.end(), event));
    }

    testing::PostQueue queue;
    std::optional<std::chrono::milliseconds> timer;
    RecordingView view;
    Sheet sheet;
    PreferenceValues preferences;
    std::unique_ptr<RunSessionModel> model;
    int asked = 0;  // questions the run asked
};

// The check is the run's first part: the progress says so from its short
// delay on, its findings replace the progress window, and the run goes on
// only when they are confirmed; Cancel during the check ends it without a run.
TEST_F(RunSessionModelTest, TheCheckShowsFirstAndItsFindingsDecideWhetherTheRunGoesOn) {
    int runs = 0;
    Make([&runs](const Sheet&, const SheetSelection&, const RunEnvironment&) {
        ++runs;
        return RunReport{};
    });
    sheet.SetColumnCount(3);
    testing::Gate checking, stopped;
    std::vector<std::vector<RunHazard>> questions;
    bool proceed = false;
    std::string shownWhenAsked;
    const auto check = [&](bool findsSomething, testing::Gate& gate) {
        return RunCheckStep{
            .find =
                [&gate, findsSomething](const Sheet&, const SheetSelection&,
                                        const RunEnvironment& environment) {
                    environment.progress(1, 3);
                    gate.Pass();
                    std::vector<RunHazard> found;
                    if (findsSomething && !environment.stopRequested())
                        found.push_back({RunHazardKind::kEmptyFolder, "Template Path is empty."});
                    return found;
                },
            .confirm =
                [&](std::vector<RunHazard> hazards) {
                    questions.push_back(std::move(hazards));
                    shownWhenAsked = view.events.back();
                    return proceed;
                },
        };
    };
    Start(check(true, checking));
    EXPECT_EQ(view.events,
              (std::vector<std::string>{"starting", "progress 0 of 3: Checking 3 keys\u2026"}));
    EXPECT_EQ(timer, RunSessionModel::kCheckDelay);
    ASSERT_TRUE(checking.WaitUntilReached());
    Fire();
    EXPECT_EQ(view.events.back(), "progress window shown");
    EXPECT_EQ(view.events[view.events.size() - 2], "progress 1 of 3: Checking 3 keys\u2026");
    checking.Open();
    ASSERT_TRUE(queue.DrainUntil([&] { return view.endedByCheck; }));
    ASSERT_EQ(questions.size(), 1U);
    EXPECT_EQ(questions[0].front().text, "Template Path is empty.");
    EXPECT_EQ(shownWhenAsked, "progress window hidden");
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(view.report.has_value());

    // Confirmed, the run goes on, its progress after the run's own delay.
    proceed = true;
    Start(check(true, checking));
    ASSERT_TRUE(queue.DrainUntil([&] { return view.report.has_value(); }));
    EXPECT_EQ(questions.size(), 2U);
    EXPECT_EQ(runs, 1);

    // Nothing found: no question; Cancel during the check: no run at all.
    view.report.reset();
    Start(check(false, checking));
    ASSERT_TRUE(queue.DrainUntil([&] { return view.report.has_value(); }));
    EXPECT_EQ(questions.size(), 2U);
    EXPECT_EQ(runs, 2);
    view.endedByCheck = false;
    Start(check(true, stopped));
    ASSERT_TRUE(stopped.WaitUntilReached());
    model->Stop();
    stopped.Open();
    ASSERT_TRUE(queue.DrainUntil([&] { return view.endedByCheck; }));
    EXPECT_EQ(questions.size(), 2U);
    EXPECT_EQ(runs, 2);
}

TEST_F(RunSessionModelTest, ProgressShowsAfterTheDelayWithTheCountsToldBeforeTheFirstKey) {
    testing::Gate firstKey, saving;
    Make([&](const Sheet&, const SheetSelection&, const RunEnvironment& environment) {
        environment.progress(0, 3);
        firstKey.Pass();
        for (std::size_t done = 1; done <= 3; ++done)
            environment.progress(done, 3);
        environment.saving(3);
        saving.Pass();
        environment.saving(0);
        RunReport report;
        report.plannedKeys = 3;
        return report;
    });
    Start();
    EXPECT_TRUE(model->IsRunning());
    EXPECT_EQ(view.events, (std::vector<std::string>{"starting", kNoneWritten}));
    EXPECT_EQ(timer, RunSessionModel::kProgressDelay);
    ASSERT_TRUE(firstKey.WaitUntilReached());
    Fire();  // half a second on, still at the first key
    EXPECT_EQ(view.events,
              (std::vector<std::string>{"starting", kNoneWritten,
                                        "progress 0 of 3: Writing programs: 0 of 3 keys",
                                        "progress window shown"}));
    EXPECT_EQ(timer, RunSessionModel::kProgressUpdate);
    firstKey.Open();
    ASSERT_TRUE(saving.WaitUntilReached());
    Fire();
    EXPECT_EQ(view.events.back(), "progress 3 of 3: Saving 3 programs to disk\u2026");
    saving.Open();
    ASSERT_TRUE(queue.DrainUntil([this] { return view.report.has_value(); }));
    EXPECT_FALSE(model->IsRunning());
    EXPECT_EQ(timer, std::nullopt);
    ASSERT_GE(view.events.size(), 2U);
    EXPECT_EQ(view.events[view.events.size() - 2], "progress window hidden");
    EXPECT_EQ(view.events.back(), "ended");
    EXPECT_EQ(view.report->plannedKeys, 3U);
    model->Tick();  // a late tick shows nothing
    EXPECT_EQ(view.events.back(), "ended");
}

// A wait for another program's index brings the progress window whatever
// the delay, saying whom it waits for; a claim taken over stays said once
// its wait has ended; Cancel ends a wait.
TEST_F(RunSessionModelTest, AWaitIsShownAtOnceATakeoverStaysSaidAndCancelEndsAWait) {
    Make([](const Sheet&, const SheetSelection&, const RunEnvironment& environment) {
        environment.waiting({"/srv/INDICE.Prg", "bladeway 2.2.0 on ST2, process 7"});
        environment.tookOver(
            {"/srv/INDICE.Prg", "ST2", 7, std::chrono::seconds(41), StaleClaim::kNotRenewed});
        environment.waiting({});
        environment.waiting({"/srv/INDICE.Prg", ""});
        while (!environment.stopRequested())
            std::this_thread::yield();
        environment.waiting({});
        return RunReport{};
    });
    Start();
    const std::string waiting = "waiting Waiting for another program writing '/srv/INDICE.Prg'";
    const std::string tookOver =
        "waiting Took over the claim of ST2, process 7, idle for 41 s, to write "
        "'/srv/INDICE.Prg'";
    ASSERT_TRUE(queue.DrainUntil([&] { return Count(waiting) == 1; }));
    EXPECT_EQ(
        std::vector<std::string>(view.events.begin(), view.events.begin() + 5),
        (std::vector<std::string>{"starting", kNoneWritten, kNoneWritten, "progress window shown",
                                  waiting + " (bladeway 2.2.0 on ST2, process 7)"}));
    EXPECT_EQ(Count(tookOver), 2U);
    model->Stop();
    ASSERT_TRUE(queue.DrainUntil([this] { return view.report.has_value(); }));
    EXPECT_EQ(Count(tookOver), 3U);
    EXPECT_EQ(Count("waiting "), 0U);
}

TEST_F(RunSessionModelTest, QuestionsComeOneAtATimeAndOnlyTheFirstAnswerCounts) {
    MakeAsking({"first", "second"});
    Start();
    ASSERT_TRUE(queue.DrainUntil([this] { return view.openMessages == 1; }));
    // The message brings the progress window whatever the delay.
    EXPECT_EQ(view.events, (std::vector<std::string>{"starting", kNoneWritten, kNoneWritten,
                                                     "progress window shown", "message first"}));
    EXPECT_EQ(timer, RunSessionModel::kProgressUpdate);
    // The worker waits for the answer: nothing more is on its way.
    EXPECT_TRUE(queue.Empty());
    view.Answer(false);
    // A second answer to the same message, once the worker waits on the next.
    ASSERT_TRUE(queue.WaitForTask());
    model->Answer(true);
    ASSERT_TRUE(queue.DrainUntil([this] { return view.openMessages == 1; }));
    EXPECT_EQ(view.events.back(), "message second");
    view.Answer(false);
    ASSERT_TRUE(queue.DrainUntil([this] { return view.report.has_value(); }));
    EXPECT_EQ(view.maxOpenMessages, 1);
    EXPECT_FALSE(view.report->stopped);
}

TEST_F(RunSessionModelTest, StopDuringAQuestionClosesItAndTheRunStopsThere) {
    MakeAsking({"again", "again", "again", "again", "again"});
    Start();
    ASSERT_TRUE(queue.DrainUntil([this] { return view.openMessages == 1; }));
    model->Stop();  // Cancel on the progress window
    EXPECT_EQ(view.openMessages, 0);
    EXPECT_EQ(Count("message closed"), 1U);
    view.model->Answer(false);  // a late OK from the closed box
    ASSERT_TRUE(queue.DrainUntil([this] { return view.report.has_value(); }));
    EXPECT_TRUE(view.report->stopped);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Count("message again"), 1U);
}

TEST_F(RunSessionModelTest, AMessageReachingTheWindowAfterStopIsAnsweredStopUnseen) {
    MakeAsking({"late"});
    Start();
    // The worker has asked; Stop comes before the message is opened.
    ASSERT_TRUE(queue.WaitForTask());
    model->Stop();
    ASSERT_TRUE(queue.DrainUntil([this] { return view.report.has_value(); }));
    EXPECT_EQ(Count("message late"), 0U);
    EXPECT_TRUE(view.report->stopped);
}

TEST_F(RunSessionModelTest, DestroyedDuringAQuestionTheModelStopsTheRunAndIgnoresItsLateTasks) {
    std::optional<bool> stoppedAfterMessage;
    Make([&stoppedAfterMessage](const Sheet&, const SheetSelection&,
                                const RunEnvironment& environment) {
        environment.showMessage("waiting");
        stoppedAfterMessage = environment.stopRequested();
        return RunReport{};
    });
    Start();
    ASSERT_TRUE(queue.DrainUntil([this] { return view.openMessages == 1; }));
    model.reset();  // the window goes while the message waits
    EXPECT_EQ(stoppedAfterMessage, true);
    EXPECT_FALSE(queue.Empty());  // the run's end, posted before the worker ended
    queue.Drain();
    EXPECT_EQ(Count("ended"), 0U);
    EXPECT_FALSE(view.report.has_value());
}

}  // namespace
}  // namespace bladeway
