// The substitution table editor's life across the Vars button's openings,
// over a front end that records what it is asked to do.
#include "core/presentation/substitution_table_opening.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace bladeway {
namespace {

// Each made window numbered, with what the settings keep and what its
// showing ends in: hidden by OK or Cancel, or closed from its frame.
class RecordingWindows final : public SubstitutionTableWindows {
  public:
    bool IsMade() const override { return made != 0; }
    void Make() override {
        made = ++count;
        closedByFrame = false;
        calls.push_back("make " + std::to_string(made));
    }
    OuterPosition StoredPosition() const override { return stored; }
    bool IsUnloaded() const override { return closedByFrame; }
    void ShowModalAt(OuterPosition position) override {
        calls.push_back("show " + std::to_string(made) + " at " + std::to_string(position.top) +
                        "," + std::to_string(position.left));
        closedByFrame = closeNextByFrame;
        if (closedByFrame)
            stored = {.top = 99, .left = 98};  // the model keeps the place it closed at
    }
    void Unmake() override {
        calls.push_back("unmake " + std::to_string(made));
        made = 0;
    }

    OuterPosition stored{.top = 1500, .left = -300};
    bool closeNextByFrame = false;
    int made = 0;
    int count = 0;
    bool closedByFrame = false;
    std::vector<std::string> calls;
};

TEST(SubstitutionTableOpening, MadeOnFirstUseKeptWhileHiddenMadeAfreshAfterTheFrameClosedIt) {
    RecordingWindows windows;
    MakeSubstitutionTable(windows);
    MakeSubstitutionTable(windows);  // made once
    OpenSubstitutionTable(windows);
    OpenSubstitutionTable(windows, OuterPosition{.top = 150, .left = 75});
    windows.closeNextByFrame = true;
    OpenSubstitutionTable(windows);
    EXPECT_FALSE(windows.IsMade());
    windows.closeNextByFrame = false;
    OpenSubstitutionTable(windows);
    EXPECT_EQ(windows.calls, (std::vector<std::string>{"make 1", "show 1 at 1500,-300",
                                                       "show 1 at 150,75", "show 1 at 1500,-300",
                                                       "unmake 1", "make 2", "show 2 at 99,98"}));
}

}  // namespace
}  // namespace bladeway
