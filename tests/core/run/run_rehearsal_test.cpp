// The run after its check takes the programs and key readings the check's
// trial made, and writes exactly what a run alone would have written: also
// when a template, an option or the mirror character changed in between.
#include "core/run/run_rehearsal.h"

#include <algorithm>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "core/run/run_check.h"
#include "run_folders.h"
#include "support/sheet_builder.h"

namespace bladeway {
namespace {

namespace fs = std::filesystem;
using testing::FilesBelow;
using testing::KeyColumn;
using testing::RawIndexRecord;
using testing::SheetOf;
using Files = std::map<std::string, std::string>;

constexpr std::string_view kOtherTemplate = "G00X1Y1Z9T2M6\r\n(OTHER)A2B1\r\n!F90\r\nM30\r\n";

// Two templates in the tree, both listed; keys that carry fields from one to
// the next, one whose template is missing, one that an option renames.
class RunRehearsalTest : public testing::RunFolders {
  protected:
    RunRehearsalTest() {
        TreeTemplates(RawIndexRecord("MASTER") + RawIndexRecord("OTHER"));
        fs::create_directories(templates_.Path() / "SRG" / "O");
        testing::WriteBytes(templates_.Path() / "SRG" / "O" / "THER", kOtherTemplate);
        sheet_ = SheetOf({KeyColumn("MASTER", "P1001", {"L=1.25", "X=3", "V3=14"}),
                          KeyColumn("MASTER", "P1002", {"S=0.5"}),
                          KeyColumn("OTHER", "K2001", {"D=4.75"}), KeyColumn("MISSING", "K2002"),
                          KeyColumn("OTHER", "K2003", {"X=7"})});
    }

    // What a run alone writes, the destination emptied first.
    Files RunAlone() {
        EmptyDestination();
        Run(*sheet_, /*flat=*/false);
        return FilesBelow(destination_.Path());
    }
    // What Process writes: the check's trial, `between` (what changes while
    // the worker reads the check), then the run taking from the trial.
    Files CheckedRun(RunRehearsal& rehearsal, const std::function<void()>& between = {}) {
        EmptyDestination();
        RunEnvironment environment = Environment(/*flat=*/false);
        environment.rehearsal = &rehearsal;
        (void)CheckBeforeRun(*sheet_, NoSelection(), environment, preferences_);
        EXPECT_TRUE(rehearsal.Tried());
        if (between)
            between();
        RunProcessing(*sheet_, NoSelection(), environment);
        return FilesBelow(destination_.Path());
    }
    void EmptyDestination() {
        fs::remove_all(destination_.Path());
        fs::create_directories(destination_.Path() / "SRG" / "P");
        fs::create_directories(destination_.Path() / "SRG" / "K");
    }

    std::unique_ptr<Sheet> sheet_;
};

TEST_F(RunRehearsalTest, TheRunTakesEveryProgramAndWritesWhatARunAloneWrites) {
    const Files alone = RunAlone();
    ASSERT_EQ(alone.size(), 5U);  // four programs and the index
    RunRehearsal rehearsal;
    EXPECT_EQ(testing::DifferingFiles(CheckedRun(rehearsal), alone), "");
    EXPECT_EQ(rehearsal.ProgramsTaken(), 4U);
}

// Whatever differs from the trial, from the first key on: nothing is taken,
// and the run writes what a run alone writes after the same change.
TEST_F(RunRehearsalTest, WhatChangedAfterTheCheckIsMadeAnew) {
    const Files before = RunAlone();
    const std::string mirror = preferences_.MirrorCharacter();
    ASSERT_EQ(preferences_.XToHOption(), 1);
    const std::vector<std::pair<std::string, std::function<void()>>> changes{
        {"a template rewritten",
         [this] {
             testing::WriteBytes(templates_.Path() / "SRG" / "M" / "ASTER",
                                 "G00X9Y9Z9T1M6\r\n(MASTER)A7\r\nM30\r\n");
         }},
        {"Translate X to H turned off", [this] { ASSERT_TRUE(preferences_.SetXToHOption(0)); }},
        {"the mirror character changed", [this] { preferences_.SetMirrorCharacter("*"); }},
    };
    for (const auto& [change, make] : changes) {
        SCOPED_TRACE(change);
        RunRehearsal rehearsal;
        const Files checked = CheckedRun(rehearsal, make);
        EXPECT_EQ(rehearsal.ProgramsTaken(), 0U);
        const Files alone = RunAlone();
        EXPECT_NE(testing::DifferingFiles(alone, before), "") << "the change changes nothing";
        EXPECT_EQ(testing::DifferingFiles(checked, alone), "");
        // Back as the trial found it, for the next change.
        testing::WriteBytes(templates_.Path() / "SRG" / "M" / "ASTER", testing::kExampleTemplate);
        ASSERT_TRUE(preferences_.SetXToHOption(1));
        preferences_.SetMirrorCharacter(mirror);
    }
}

// A template met only by the third key changed: the two keys before it are
// taken, the rest made anew.
TEST_F(RunRehearsalTest, AChangeMetMidwayKeepsWhatCameBeforeIt) {
    RunRehearsal rehearsal;
    const Files checked = CheckedRun(rehearsal, [this] {
        testing::WriteBytes(templates_.Path() / "SRG" / "O" / "THER", "G00X2Y2Z2T3M6\r\nM30\r\n");
    });
    EXPECT_EQ(rehearsal.ProgramsTaken(), 2U);
    EXPECT_EQ(testing::DifferingFiles(checked, RunAlone()), "");
}

// A trial keeps programs only within its bytes; the run composes the others.
TEST_F(RunRehearsalTest, ProgramsPastTheTrialsBytesAreComposedAgain) {
    const Files alone = RunAlone();
    // The first key's program, whatever separator the system writes.
    const auto first = std::find_if(alone.begin(), alone.end(),
                                    [](const auto& file) { return file.first.ends_with("1001"); });
    ASSERT_NE(first, alone.end());
    RunRehearsal rehearsal(first->second.size());
    EXPECT_EQ(testing::DifferingFiles(CheckedRun(rehearsal), alone), "");
    EXPECT_EQ(rehearsal.ProgramsTaken(), 1U);
}

}  // namespace
}  // namespace bladeway
