// The check's trial places the programs without composing them and leaves
// its key readings to the run after it, which writes exactly what a run
// alone would have written: also when a template, an option or the mirror
// character changed in between, and when a key's template is a program that
// an earlier key writes.
#include "core/run/run_rehearsal.h"

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

TEST_F(RunRehearsalTest, TheRunAfterItsCheckWritesWhatARunAloneWrites) {
    const Files alone = RunAlone();
    ASSERT_EQ(alone.size(), 5U);  // four programs and the index
    RunRehearsal rehearsal;
    EXPECT_EQ(testing::DifferingFiles(CheckedRun(rehearsal), alone), "");
    EXPECT_FALSE(rehearsal.ReadAPlacedProgram());
}

// What changed after the check: the run writes what a run alone writes after
// the same change.
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
        const Files alone = RunAlone();
        EXPECT_NE(testing::DifferingFiles(alone, before), "") << "the change changes nothing";
        EXPECT_EQ(testing::DifferingFiles(checked, alone), "");
        // Back as the trial found it, for the next change.
        testing::WriteBytes(templates_.Path() / "SRG" / "M" / "ASTER", testing::kExampleTemplate);
        ASSERT_TRUE(preferences_.SetXToHOption(1));
        preferences_.SetMirrorCharacter(mirror);
    }
}

// The template folder is the destination, and the second key's template is
// the first key's program, a byte too large to be read as a template: the
// check meets it as the run will, not as the empty place its trial wrote.
TEST_F(RunRehearsalTest, AProgramReadAsATemplateIsCheckedAsTheRunWritesIt) {
    preferences_.destinationFolder = preferences_.templateFolder;
    fs::create_directories(templates_.Path() / "SRG" / "P");
    // The program's cycle line is longer than the template's.
    std::string master = "G00X0Y0Z5T1M6\r\n(MASTER)\r\nM3\r\n";
    master.append(kTemplateFileLimit - master.size() - 2, ';').append("\r\n");
    testing::WriteBytes(templates_.Path() / "SRG" / "M" / "ASTER", master);
    sheet_ = SheetOf({KeyColumn("MASTER", "P1001"), KeyColumn("P1001", "P1002")});

    RunRehearsal rehearsal;
    RunEnvironment environment = Environment(/*flat=*/false);
    environment.rehearsal = &rehearsal;
    const std::vector<RunHazard> hazards =
        CheckBeforeRun(*sheet_, NoSelection(), environment, preferences_);
    EXPECT_TRUE(rehearsal.ReadAPlacedProgram());
    const RunReport run = RunProcessing(*sheet_, NoSelection(), environment);
    ASSERT_EQ(run.keys.size(), 2U);
    ASSERT_TRUE(run.keys[0].programWritten);
    ASSERT_FALSE(run.keys[1].programWritten) << "the first program fits a template";
    ASSERT_EQ(hazards.size(), 1U);
    EXPECT_EQ(hazards[0].kind, RunHazardKind::kEntryWithoutProgram);
    EXPECT_NE(hazards[0].text.find("P1002 will be entered"), std::string::npos) << hazards[0].text;
}

}  // namespace
}  // namespace bladeway
