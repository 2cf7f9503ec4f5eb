// A long run without messages, stopped through the window system while it
// writes: the progress dialog has come up on top with the focus, and Cancel,
// Escape or its close box end the run between two keys, with its report.
#include <regex>
#include <string>

#include <QPushButton>

#include "desktop/desktop_fixture.h"
#include "support/many_keys.h"

namespace bladeway::testing::desktop {
namespace {

// Enough keys that the run still writes when the stop lands, a few seconds
// on a slow disk.
constexpr int kKeys = 40000;

enum class StopBy { kCancelButton, kEscapeKey, kCloseBox };

class LongRunTest : public DesktopTest, public ::testing::WithParamInterface<Named<StopBy>> {};

TEST_P(LongRunTest, StoppingWhileItWritesEndsItBetweenKeysWithItsReport) {
    MakeShop(Templates::kFlat, ManyKeys(kKeys));
    OpenMainWindow();
    AsUser([this] {
        LoadKeysAndProcess(kKeys);
        WaitUntil("the progress dialog comes up with the focus while keys are written", [] {
            QWidget* progress = Shown("RunProgress");
            const std::string text = LabelText("RunProgress", "ProgressText");
            // Past the check before the run, which the dialog shows first.
            return progress != nullptr && progress->isActiveWindow() &&
                   text.starts_with("Writing programs: ") &&
                   text != "Writing programs: 0 of 0 keys";
        });
        WaitOnTop("RunProgress", "the progress dialog");
        switch (GetParam().way) {
            case StopBy::kCancelButton:
                ASSERT_TRUE(Click("Cancel", [] { return ButtonIn("RunProgress", "Cancel"); }));
                break;
            case StopBy::kEscapeKey:
                PressKeys("Escape");
                break;
            case StopBy::kCloseBox:
                PressCloseBox(WindowId("RunProgress"));
                break;
        }
        AwaitReport();
    });
    const std::string summary = Summary();
    std::smatch stopped;
    ASSERT_TRUE(std::regex_search(summary, stopped, std::regex("stopped after ([0-9,]+) of")))
        << "the run was not stopped: " << summary;
    const std::size_t done = std::stoul(std::regex_replace(stopped[1].str(), std::regex(","), ""));
    // The stop lands half a second or more into the run, and before its end.
    ASSERT_GT(done, 1U);
    ASSERT_LT(done, static_cast<std::size_t>(kKeys));
    // One whole program for every key done, nothing half-written beside them
    // (the offscreen tests compare the bytes; the summary's words:
    // RunTextTest.AStoppedRunSaysHowFarItCameInGroupedCounts).
    EXPECT_EQ(ProgramFiles(), done);
}

INSTANTIATE_TEST_SUITE_P(CancelEscapeOrCloseBox, LongRunTest,
                         ::testing::Values(Named{StopBy::kCancelButton, "CancelButton"},
                                           Named{StopBy::kEscapeKey, "EscapeKey"},
                                           Named{StopBy::kCloseBox, "CloseBox"}),
                         kByName);

}  // namespace
}  // namespace bladeway::testing::desktop
