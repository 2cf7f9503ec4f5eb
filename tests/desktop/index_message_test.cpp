// A run in tree mode on a damaged template index, through the window system:
// the index message comes up for every key above the progress dialog, with
// the keyboard focus, the progress dialog showing with it; every way of
// answering it leads on to the run's end and its report.
#include <chrono>
#include <string>

#include <QMessageBox>
#include <QPushButton>

#include "desktop/desktop_fixture.h"

namespace bladeway::testing::desktop {
namespace {

constexpr int kHarborKeys = 12;
// The progress dialog comes with the message, not after its usual delay.
constexpr std::chrono::milliseconds kProgressWithMessage{250};

enum class Answer {
    kOkButton,
    kReturnKey,
    kStopButton,
    kEscapeKey,
    kMessageCloseBox,
    kProgressCancel,
    kProgressCloseBox
};

class IndexMessageTest : public DesktopTest, public ::testing::WithParamInterface<Named<Answer>> {
  protected:
    // Waits for the index message of the `number`th key: up with the keyboard
    // focus, above every other window, the progress dialog showing too (from
    // the first message on, not only after the progress dialog's delay). Its
    // text: ProcessOffThreadTest.CheckIndexShowsAndRepairsTheDamagedIndexOfARow.
    void AwaitMessage(int number) {
        const std::string which = "index message " + std::to_string(number);
        WaitUntil(which + " comes up with the keyboard focus, the progress dialog showing",
                  [this, number] {
                      QWidget* box = Shown("RunMessage");
                      return box != nullptr &&
                             events.Of(QStringLiteral("RunMessage")).shown == number &&
                             box->isActiveWindow() && Shown("RunProgress") != nullptr;
                  });
        const auto [progressShown, messageShown] = OnGui([this] {
            return std::pair(events.Of(QStringLiteral("RunProgress")).firstShown,
                             events.Of(QStringLiteral("RunMessage")).firstShown);
        });
        if (progressShown && number == 1) {
            const auto late = std::chrono::duration_cast<std::chrono::milliseconds>(*progressShown -
                                                                                    *messageShown);
            EXPECT_LE(late.count(), kProgressWithMessage.count())
                << "the progress dialog came " << late.count() << " ms after the first message";
        }
        WaitOnTop("RunMessage", which);
    }

    // Answers the open message, or acts on the progress dialog behind it.
    bool Give(Answer answer) {
        switch (answer) {
            case Answer::kOkButton:
                return Click("the message's OK", [] {
                    auto* box = qobject_cast<QMessageBox*>(Shown("RunMessage"));
                    return box ? box->button(QMessageBox::Ok) : nullptr;
                });
            case Answer::kStopButton:
                return Click("Stop Processing", [] { return ButtonIn("RunMessage", "StopRun"); });
            case Answer::kReturnKey:
                PressKeys("Return");
                return true;
            case Answer::kEscapeKey:
                PressKeys("Escape");
                return true;
            case Answer::kMessageCloseBox:
                PressCloseBox(WindowId("RunMessage"));
                return true;
            case Answer::kProgressCancel:
                // The message opens above the progress dialog, leaving Cancel
                // in sight: Click fails on a covered button.
                return Click("the progress dialog's Cancel",
                             [] { return ButtonIn("RunProgress", "Cancel"); });
            case Answer::kProgressCloseBox:
                PressCloseBox(WindowId("RunProgress"));
                return true;
        }
        return false;
    }
};

// OK and Return answer every message and the run goes on through every key;
// every other way stops it after the key the first message came for.
TEST_P(IndexMessageTest, TheRunGoesOnOrStopsAsAnsweredAndEndsWithItsReport) {
    const Answer answer = GetParam().way;
    const bool stops = answer != Answer::kOkButton && answer != Answer::kReturnKey;
    const int messages = stops ? 1 : kHarborKeys;
    MakeShop(Templates::kTreeDamagedIndex, HarborKeys());
    OpenMainWindow();
    AsUser([this, answer, stops, messages] {
        LoadKeysAndProcess(kHarborKeys);
        for (int number = 1; number <= messages && !HasFatalFailure(); ++number) {
            AwaitMessage(number);
            ASSERT_TRUE(Give(answer));
            if (stops)
                break;
            WaitUntil("index message " + std::to_string(number) + " closes", [this, number] {
                return events.Of(QStringLiteral("RunMessage")).hidden >= number;
            });
        }
        if (!HasFatalFailure())
            AwaitReport();
    });
    EXPECT_EQ(events.Of(QStringLiteral("RunMessage")).shown, messages);
    const Reference reference = CliRun(stops ? "1" : "");
    EXPECT_EQ(Summary(), reference.summary + (stops ? ", stopped after 1 of 12 keys" : ""));
    EXPECT_TRUE(Written() == reference.files) << "the files differ from the command line's";
}

INSTANTIATE_TEST_SUITE_P(AnswerEveryMessage, IndexMessageTest,
                         ::testing::Values(Named{Answer::kOkButton, "OkButton"},
                                           Named{Answer::kReturnKey, "ReturnKey"}),
                         kByName);
INSTANTIATE_TEST_SUITE_P(StopAtTheMessage, IndexMessageTest,
                         ::testing::Values(Named{Answer::kStopButton, "StopProcessingButton"},
                                           Named{Answer::kEscapeKey, "EscapeKey"},
                                           Named{Answer::kMessageCloseBox, "MessageCloseBox"},
                                           Named{Answer::kProgressCancel, "ProgressCancel"},
                                           Named{Answer::kProgressCloseBox, "ProgressCloseBox"}),
                         kByName);

}  // namespace
}  // namespace bladeway::testing::desktop
