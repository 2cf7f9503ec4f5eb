// The check before a run: what it names, in tree and flat mode, and that
// trying the run leaves the disk as it was.
#include "core/run/run_check.h"

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "core/keydata/key_data_file.h"
#include "run_folders.h"
#include "support/index_bytes.h"
#include "support/sheet_builder.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

namespace fs = std::filesystem;
using testing::ExampleColumn;
using testing::RawIndexRecord;
using testing::SheetOf;
using Kinds = std::vector<RunHazardKind>;
using Lines = std::vector<std::string>;

::testing::AssertionResult Says(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "'" << text << "' does not say '" << part << "'";
}

// The worked example's template in the tree, listed in the template index,
// and the settings file as the preferences stand.
class RunCheckTest : public testing::RunFolders {
  protected:
    RunCheckTest() { TreeTemplates(); }

    std::vector<RunHazard> Check(const std::vector<std::vector<std::string>>& keys,
                                 bool flat = false) {
        return CheckBeforeRun(*SheetOf(keys), NoSelection(), Environment(flat), saved_);
    }
    static Kinds KindsOf(const std::vector<RunHazard>& hazards) {
        Kinds kinds;
        for (const RunHazard& hazard : hazards)
            kinds.push_back(hazard.kind);
        return kinds;
    }
    // Every file below the two folders, to tell that the check wrote nothing.
    std::vector<fs::path> Files() const {
        std::vector<fs::path> files;
        for (const fs::path& root : {templates_.Path(), destination_.Path()})
            files.insert(files.end(), fs::recursive_directory_iterator(root), {});
        std::sort(files.begin(), files.end());
        return files;
    }

    PreferenceValues saved_ = preferences_;
};

TEST_F(RunCheckTest, ARunThatCanBeDoneAsSavedNeedsNoWord) {
    EXPECT_TRUE(Check({ExampleColumn("KEY1"), ExampleColumn("KEY2")}).empty());
    EXPECT_TRUE(Check({ExampleColumn("P1")}, /*flat=*/true).empty());
    // Keys that name no template (the grid before a load) make nothing, whatever the values.
    preferences_.Reset();
    EXPECT_TRUE(Check({{"KEY"}, {}}).empty());
}

// Each value is named once: with what the settings file says and what this
// run uses when it differs, with where the files go when it is empty.
TEST_F(RunCheckTest, EachPreferenceFindingIsSaidOnceWithWhatThisRunUses) {
    const auto texts = [](const std::vector<RunHazard>& findings) {
        Lines lines;
        for (const RunHazard& finding : findings)
            lines.push_back(finding.text);
        return lines;
    };
    ASSERT_TRUE(preferences_.SetXToHOption(1));
    ASSERT_TRUE(saved_.SetXToHOption(0));
    ASSERT_TRUE(saved_.SetXLToLHOption(2));
    saved_.destinationFolder = "/kept";
    EXPECT_TRUE(DiffersFromSettingsFile(preferences_, saved_));
    EXPECT_EQ(
        texts(PreferenceFindings(preferences_, saved_, /*flatTemplateMode=*/false)),
        (Lines{"Destination Path is '" + preferences_.destinationFolder +
                   "' here; the settings file says '/kept'. This run uses '" +
                   preferences_.destinationFolder + "'.",
               "Translate X&L to L&H is off here; the settings file says on (grayed). This "
               "run uses off.",
               "Translate X to H is on here; the settings file says off. This run uses on."}));
    // The source folder and the mirror character do not steer where or what a run writes.
    saved_ = preferences_;
    saved_.sourceFolder = "/elsewhere";
    saved_.SetMirrorCharacter("#");
    EXPECT_FALSE(DiffersFromSettingsFile(preferences_, saved_));
    EXPECT_TRUE(PreferenceFindings(preferences_, saved_, false).empty());

    // After Preferences closed by its close box every folder is empty: the
    // programs would go to the top of the disk, the entries to its
    // INDICE.Prg. An empty field the file keeps too is named as empty only.
    const std::string top = std::string(1, fs::path::preferred_separator);
    preferences_.Reset();
    saved_ = preferences_;
    saved_.templateFolder = "/srv/tpl";
    EXPECT_EQ(texts(PreferenceFindings(preferences_, saved_, /*flatTemplateMode=*/false)),
              (Lines{"Template Path is empty here; the settings file says '/srv/tpl'. This run "
                     "uses the empty path: the templates are read from the top folder of the "
                     "disk (" +
                         top + ").",
                     "Destination Path is empty: the programs go to the top folder of the disk (" +
                         top + ") and their entries to " + top + "INDICE.Prg."}));
    const std::vector<RunHazard> flat = PreferenceFindings(preferences_, saved_, true);
    ASSERT_EQ(flat.size(), 2U);
    EXPECT_EQ(KindsOf(flat),
              (Kinds{RunHazardKind::kUnsavedPreference, RunHazardKind::kEmptyFolder}));
    EXPECT_FALSE(Says(flat[1].text, "INDICE.Prg"));
    // The check says each once.
    saved_ = PreferenceValues{};
    saved_.templateFolder = templates_.Path().string();
    const Lines checked = texts(Check({ExampleColumn("KEY1")}));
    EXPECT_EQ(std::count_if(checked.begin(), checked.end(),
                            [](const std::string& line) { return Says(line, "Template Path"); }),
              1);
    EXPECT_EQ(std::count_if(checked.begin(), checked.end(),
                            [](const std::string& line) { return Says(line, "Destination Path"); }),
              1);
}

// A damaged key data file is the first finding, whatever else the run does.
TEST_F(RunCheckTest, ADamagedKeyFileIsNamedWithTheKeysTheRunTakes) {
    Sheet sheet;
    sheet.Load(ParseKeyData(std::make_shared<const std::string>("K1\r\n\r\n!\r\nK2\r\n")));
    RunEnvironment environment = Environment(false);
    environment.keyFile = "/keys/Cut.dat";
    const std::vector<RunHazard> found = CheckBeforeRun(sheet, NoSelection(), environment, saved_);
    ASSERT_EQ(found.size(), 1U);
    EXPECT_EQ(found[0].kind, RunHazardKind::kDamagedKeyFile);
    EXPECT_EQ(
        found[0].text,
        "The key data file 'Cut.dat' is damaged: the file ends inside key 2 (1 line after its "
        "last \"!\"): that key and any after it are missing, the file may be cut off. The "
        "run processes only the 1 key the grid shows.");
}

// Tree mode enters a key in the index before its program is written: a
// program that cannot be written leaves an entry the control cannot use.
TEST_F(RunCheckTest, KeysEnteredWithoutTheirProgramAreNamedByCause) {
    const std::vector<fs::path> before = Files();
    const std::vector<RunHazard> hazards =
        Check({ExampleColumn("J1"), ExampleColumn("J2"), ExampleColumn("J3"), ExampleColumn("J4"),
               ExampleColumn("Q1"), ExampleColumn("KEY1"), testing::KeyColumn("GONE", "KEY2")});
    ASSERT_EQ(KindsOf(hazards),
              (Kinds{RunHazardKind::kEntryWithoutProgram, RunHazardKind::kEntryWithoutProgram}));
    const std::string index = "'" + destination_.File("INDICE.Prg") + "'";
    EXPECT_EQ(hazards[0].text,
              "J1, J2, J3 and 1 more will be entered in " + index +
                  ", but their programs cannot be written: the folder '" +
                  (destination_.Path() / "SRG" / "J").string() +
                  "' does not exist. The control will list programs that are not there; create "
                  "the folder, then run these keys again.");
    // KEY1 is written; GONE is not in the template index, so KEY2 gets no entry.
    EXPECT_TRUE(Says(hazards[1].text, "Q1 will be entered in " + index +
                                          ", but its program cannot be written: the folder '" +
                                          (destination_.Path() / "SRG" / "Q").string() + "'"));
    EXPECT_EQ(Files(), before);
}

TEST_F(RunCheckTest, AMissingTemplateIsNamedWithItsRemedy) {
    testing::WriteBytes(templates_.File("INDICE.Prg"),
                        RawIndexRecord("GONE") + RawIndexRecord("MASTER"));
    const std::vector<RunHazard> hazards = Check({testing::KeyColumn("GONE", "KEY1")});
    ASSERT_EQ(hazards.size(), 1U);
    EXPECT_TRUE(Says(hazards[0].text,
                     "KEY1 will be entered in '" + destination_.File("INDICE.Prg") +
                         "', but its program cannot be written: the template '" +
                         (templates_.Path() / "SRG" / "G" / "ONE").string() +
                         "' is missing. The control will list a program that is not there; add "
                         "the template"));
}

TEST_F(RunCheckTest, IndexesThatCannotTakeEntriesAreNamedAndLeftAlone) {
    const std::string destinationIndex = destination_.File("INDICE.Prg");
    testing::WriteBytes(destinationIndex, RawIndexRecord("OLD") + "xx");
    EXPECT_EQ(KindsOf(Check({ExampleColumn("KEY1")})),
              Kinds{RunHazardKind::kDestinationIndexDamaged});

    testing::WriteBytes(templates_.File("INDICE.Prg"), "damaged");
    const std::vector<RunHazard> damaged = Check({ExampleColumn("KEY1")});
    ASSERT_EQ(KindsOf(damaged), Kinds{RunHazardKind::kTemplateIndexUnusable});
    EXPECT_TRUE(
        Says(damaged[0].text, "INDICE.Prg ('" + templates_.File("INDICE.Prg") + "') is damaged"));

    fs::remove(templates_.File("INDICE.Prg"));
    const std::vector<RunHazard> missing = Check({ExampleColumn("KEY1")});
    ASSERT_EQ(KindsOf(missing), Kinds{RunHazardKind::kTemplateIndexUnusable});
    EXPECT_TRUE(Says(missing[0].text, "has no INDICE.Prg"));
    // The run would make it; the check does not.
    EXPECT_FALSE(fs::exists(templates_.File("INDICE.Prg")));
    EXPECT_EQ(testing::ReadBytes(destinationIndex), RawIndexRecord("OLD") + "xx");
}

}  // namespace
}  // namespace bladeway
