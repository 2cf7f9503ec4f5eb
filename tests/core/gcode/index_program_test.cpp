// The index step on real files in a template and a destination folder.
#include "core/gcode/index_program.h"

#include <filesystem>
#include <limits>

#include <gtest/gtest.h>

#include "support/fault_file_system.h"
#include "support/index_bytes.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::RawIndexRecord;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WithBytes;

namespace fs = std::filesystem;

class IndexProgramTest : public ::testing::Test {
  protected:
    IndexSettings Settings() {
        templatesPath_ = templates_.Path().string();
        destinationPath_ = destination_.Path().string();
        return {templatesPath_, destinationPath_, "07/04/24",
                [this](std::string_view message) { messages_.emplace_back(message); }};
    }
    std::string TemplateIndex() const { return templates_.File("INDICE.Prg"); }
    std::string DestinationIndex() const { return destination_.File("INDICE.Prg"); }

    KeyRecord Key(std::string_view templateName, std::string_view programName) const {
        KeyRecord record;
        record.TemplateName = templateName;
        record.ProgramName = programName;
        record.Description = "KEY (A1)";
        return record;
    }

    // The entry the step makes of the DZ120 template entry below for a key
    // with the description KEY (A1), the date 07/04/24 and no L, H or S.
    static std::string ProgramEntry(std::string_view name) {
        std::string entry = TemplateEntry();
        entry = WithBytes(entry, 0, std::string(name) + std::string(12 - name.size(), ' '));
        entry = WithBytes(entry, 13, "KEY (A1)                 ");
        return WithBytes(entry, 38, "07/04/24");
    }
    static std::string TemplateEntry() { return RawIndexRecord("DZ120", 'A'); }

    TempFolder templates_;
    TempFolder destination_;
    std::string templatesPath_;
    std::string destinationPath_;
    std::vector<std::string> messages_;
};

TEST_F(IndexProgramTest, MissingDestinationIndexIsCreatedWithTheNewEntry) {
    testing::WriteBytes(TemplateIndex(), RawIndexRecord("AAA") + TemplateEntry());
    KeyRecord record = Key("dz120", "p1001");
    const IndexResult result = UpdateIndexProgram(record, Settings(), Disk());
    EXPECT_TRUE(result.errors.empty());
    EXPECT_EQ(result.indexPath, DestinationIndex());
    EXPECT_EQ(ReadBytes(DestinationIndex()), ProgramEntry("P1001"));
    EXPECT_TRUE(IsBlank(record.Status));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(IndexProgramTest, OpaqueFieldsAndUnsetAxesComeFromTheTemplateEntry) {
    testing::WriteBytes(TemplateIndex(), TemplateEntry());
    KeyRecord record = Key("DZ120", "P1");
    record.L = "1.25";
    UpdateIndexProgram(record, Settings(), Disk());
    const std::string expected = WithBytes(ProgramEntry("P1"), 54, testing::kFloat1_25);
    EXPECT_EQ(ReadBytes(DestinationIndex()), expected);
}

TEST_F(IndexProgramTest, AxesFromLHAndSAsFloats) {
    testing::WriteBytes(TemplateIndex(), TemplateEntry());
    KeyRecord record = Key("DZ120", "P1");
    record.L = "31.5";
    record.H = "8.25";
    record.S = "2";
    UpdateIndexProgram(record, Settings(), Disk());
    std::string expected = ProgramEntry("P1");
    expected = WithBytes(expected, 54, testing::kFloat31_5);
    expected = WithBytes(expected, 58, testing::kFloat8_25);
    expected = WithBytes(expected, 62, testing::kFloat2);
    EXPECT_EQ(ReadBytes(DestinationIndex()), expected);
}

TEST_F(IndexProgramTest, InsertsBetweenAndAppendsAfter) {
    testing::WriteBytes(TemplateIndex(), TemplateEntry());
    const std::string aaa = RawIndexRecord("AAA", 'a');
    const std::string ccc = RawIndexRecord("CCC", 'c');
    testing::WriteBytes(DestinationIndex(), aaa + ccc);

    KeyRecord record = Key("DZ120", "BBB");
    UpdateIndexProgram(record, Settings(), Disk());
    EXPECT_EQ(ReadBytes(DestinationIndex()), aaa + ProgramEntry("BBB") + ccc);

    testing::WriteBytes(DestinationIndex(), aaa + ccc);
    record.ProgramName = "DDD";
    UpdateIndexProgram(record, Settings(), Disk());
    EXPECT_EQ(ReadBytes(DestinationIndex()), aaa + ccc + ProgramEntry("DDD"));
}

TEST_F(IndexProgramTest, EntryOfTheSameNameInOtherCaseIsReplacedInPlace) {
    testing::WriteBytes(TemplateIndex(), TemplateEntry());
    const std::string aaa = RawIndexRecord("AAA", 'a');
    const std::string zzz = RawIndexRecord("ZZZ", 'z');
    testing::WriteBytes(DestinationIndex(), aaa + RawIndexRecord("p1001", 'p') + zzz);
    KeyRecord record = Key("DZ120", "P1001");
    UpdateIndexProgram(record, Settings(), Disk());
    EXPECT_EQ(ReadBytes(DestinationIndex()), aaa + ProgramEntry("P1001") + zzz);
}

TEST_F(IndexProgramTest, NameIsUpperCasedDescriptionTakenAsHeld) {
    testing::WriteBytes(TemplateIndex(), TemplateEntry());
    KeyRecord record = Key("DZ120", "p1001");
    record.Description = "KEY [A1] \xe9";
    UpdateIndexProgram(record, Settings(), Disk());
    const std::string written = ReadBytes(DestinationIndex());
    EXPECT_EQ(written.substr(0, 12), "P1001       ");
    EXPECT_EQ(written.substr(13, 25), "KEY [A1] \xe9               ");
}

TEST_F(IndexProgramTest, TemplateNotListedSetsInfAndLeavesTheDestination) {
    testing::WriteBytes(TemplateIndex(), TemplateEntry());
    KeyRecord record = Key("KB20M", "P1");
    const IndexResult result = UpdateIndexProgram(record, Settings(), Disk());
    EXPECT_EQ(record.Status.View(), "INF");
    EXPECT_TRUE(result.indexPath.empty());
    EXPECT_FALSE(fs::exists(DestinationIndex()));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(IndexProgramTest, MissingTemplateIndexIsCreatedEmptyAndGivesInf) {
    KeyRecord record = Key("DZ120", "P1");
    const IndexResult result = UpdateIndexProgram(record, Settings(), Disk());
    EXPECT_EQ(record.Status.View(), "INF");
    EXPECT_TRUE(result.errors.empty());
    EXPECT_TRUE(fs::exists(TemplateIndex()));
    EXPECT_EQ(fs::file_size(TemplateIndex()), 0U);
    EXPECT_FALSE(fs::exists(DestinationIndex()));
}

TEST_F(IndexProgramTest, BadTemplateIndexLengthShowsTheMessageEveryTime) {
    testing::WriteBytes(TemplateIndex(), TemplateEntry() + "x");
    KeyRecord record = Key("DZ120", "P1");
    UpdateIndexProgram(record, Settings(), Disk());
    EXPECT_EQ(record.Status.View(), "IFL");
    UpdateIndexProgram(record, Settings(), Disk());
    ASSERT_EQ(messages_.size(), 2U);
    EXPECT_EQ(messages_[0], "!!! PROBLEM DETECTED WITH INDICE.Prg FILE !!!");
    EXPECT_EQ(messages_[1], messages_[0]);
    EXPECT_EQ(ReadBytes(TemplateIndex()), TemplateEntry() + "x");
    EXPECT_FALSE(fs::exists(DestinationIndex()));
}

TEST_F(IndexProgramTest, AnyStatusLeftByAnEarlierKeyStopsTheUpdate) {
    testing::WriteBytes(TemplateIndex(), TemplateEntry());
    for (const std::string_view status : {"GNF", "INF", "IFL", "X"}) {
        KeyRecord record = Key("DZ120", "P1");
        record.Status = status;
        UpdateIndexProgram(record, Settings(), Disk());
        EXPECT_FALSE(fs::exists(DestinationIndex())) << status;
        EXPECT_EQ(record.Status.View().substr(0, status.size()), status);
    }
    KeyRecord spaces = Key("DZ120", "P1");
    spaces.Status = "   ";
    UpdateIndexProgram(spaces, Settings(), Disk());
    EXPECT_TRUE(fs::exists(DestinationIndex()));
}

TEST_F(IndexProgramTest, BadDestinationIndexLengthIsLeftAloneSilently) {
    testing::WriteBytes(TemplateIndex(), TemplateEntry());
    const std::string bad = RawIndexRecord("AAA") + "xy";
    testing::WriteBytes(DestinationIndex(), bad);
    KeyRecord record = Key("DZ120", "P1");
    const IndexResult result = UpdateIndexProgram(record, Settings(), Disk());
    EXPECT_EQ(ReadBytes(DestinationIndex()), bad);
    EXPECT_TRUE(IsBlank(record.Status));
    EXPECT_TRUE(result.errors.empty());
    EXPECT_TRUE(result.indexPath.empty());
    EXPECT_TRUE(messages_.empty());
}

TEST_F(IndexProgramTest, SameFolderForTemplatesAndPrograms) {
    testing::WriteBytes(TemplateIndex(), TemplateEntry());
    KeyRecord record = Key("DZ120", "P1");
    const std::string folder = templates_.Path().string();
    const IndexSettings settings{folder, folder, "07/04/24", {}};
    UpdateIndexProgram(record, settings, Disk());
    EXPECT_EQ(ReadBytes(TemplateIndex()), TemplateEntry() + ProgramEntry("P1"));
}

TEST_F(IndexProgramTest, MissingTemplateFolderIsReportedWithoutStatus) {
    KeyRecord record = Key("DZ120", "P1");
    const std::string missing = templates_.File("gone");
    const std::string destination = destination_.Path().string();
    const IndexSettings settings{missing, destination, "07/04/24", {}};
    const IndexResult result = UpdateIndexProgram(record, settings, Disk());
    ASSERT_EQ(result.errors.size(), 1U);
    EXPECT_NE(result.errors[0].find("INDICE.Prg"), std::string::npos);
    EXPECT_TRUE(IsBlank(record.Status));
    EXPECT_FALSE(fs::exists(DestinationIndex()));
}

TEST_F(IndexProgramTest, MissingDestinationFolderIsReportedWithoutStatus) {
    testing::WriteBytes(TemplateIndex(), TemplateEntry());
    KeyRecord record = Key("DZ120", "P1");
    const std::string missing = destination_.File("gone");
    const std::string templates = templates_.Path().string();
    const IndexSettings settings{templates, missing, "07/04/24", {}};
    const IndexResult result = UpdateIndexProgram(record, settings, Disk());
    ASSERT_EQ(result.errors.size(), 1U);
    EXPECT_NE(result.errors[0].find("gone"), std::string::npos);
    EXPECT_TRUE(IsBlank(record.Status));
    EXPECT_TRUE(result.indexPath.empty());
}

TEST_F(IndexProgramTest, IndexPathThatIsAFolderIsReported) {
    fs::create_directory(TemplateIndex());
    KeyRecord record = Key("DZ120", "P1");
    const IndexResult result = UpdateIndexProgram(record, Settings(), Disk());
    EXPECT_EQ(result.errors.size(), 1U);
    EXPECT_TRUE(IsBlank(record.Status));

    fs::remove(TemplateIndex());
    testing::WriteBytes(TemplateIndex(), TemplateEntry());
    fs::create_directory(DestinationIndex());
    const IndexResult second = UpdateIndexProgram(record, Settings(), Disk());
    EXPECT_EQ(second.errors.size(), 1U);
    EXPECT_TRUE(fs::is_directory(DestinationIndex()));
}

TEST_F(IndexProgramTest, FailedDestinationWriteKeepsTheOldIndex) {
    testing::WriteBytes(TemplateIndex(), TemplateEntry());
    const std::string old = RawIndexRecord("AAA") + RawIndexRecord("CCC");
    testing::WriteBytes(DestinationIndex(), old);
    testing::FaultFileSystem faults;
    faults.FailWrites(DestinationIndex());
    KeyRecord record = Key("DZ120", "BBB");
    const IndexResult result = UpdateIndexProgram(record, Settings(), faults);
    ASSERT_EQ(result.errors.size(), 1U);
    EXPECT_NE(result.errors[0].find("No space"), std::string::npos);
    EXPECT_EQ(ReadBytes(DestinationIndex()), old);
    EXPECT_TRUE(result.indexPath.empty());
}

TEST_F(IndexProgramTest, ReadOnlyTemplateFolderWithoutIndexIsReported) {
    if (testing::RunningAsRoot())
        GTEST_SKIP() << "permissions do not bind root";
    fs::permissions(templates_.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    KeyRecord record = Key("DZ120", "P1");
    const IndexResult result = UpdateIndexProgram(record, Settings(), Disk());
    EXPECT_EQ(result.errors.size(), 1U);
    EXPECT_TRUE(IsBlank(record.Status));
}

TEST(MakeProgramEntry, HugeValuesBecomeInfinities) {
    KeyRecord record;
    record.L = "1e300";
    record.H = "-1e300";
    const IndexRecord entry = MakeProgramEntry(IndexRecord{}, record, "01/01/01");
    EXPECT_EQ(entry.X(), std::numeric_limits<float>::infinity());
    EXPECT_EQ(entry.Y(), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(entry.Z(), 0.0F);
}

}  // namespace
}  // namespace bladeway
