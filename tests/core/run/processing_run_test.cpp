// The processing run from the sheet to the files, in both template modes.
#include "core/keydata/processing_run.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "support/fault_file_system.h"
#include "support/index_bytes.h"
#include "support/recording_file_system.h"
#include "support/sheet_builder.h"
#include "support/temp_folder.h"
#include "support/worked_example.h"

namespace bladeway {
namespace {

using testing::BlockSelection;
using testing::ReadBytes;
using testing::SheetOf;
using testing::TempFolder;
using testing::WithBytes;

namespace fs = std::filesystem;

constexpr std::size_t kRecordBytes = 82;

// A key column in the layout of a key data file.
std::vector<std::string> KeyColumn(const std::string& templateName, const std::string& program,
                                   std::vector<std::string> pairs = {}) {
    std::vector<std::string> column{"KEY", "", templateName, program, "1", "KEY (A1)"};
    column.insert(column.end(), pairs.begin(), pairs.end());
    return column;
}

// The worked example's key as the grid holds it.
std::vector<std::string> ExampleColumn(const std::string& program) {
    return KeyColumn("MASTER", program, {"L=1.25", "S=0.5", "D=4.75", "V3=14", "R7=2"});
}

class ProcessingRunTest : public ::testing::Test {
  protected:
    ProcessingRunTest() {
        preferences_.TmpPath = templates_.Path().string();
        preferences_.DestPath = destination_.Path().string();
    }

    RunReport Run(const Sheet& sheet, bool flat, const SheetSelection& selection = NoSelection(),
                  FileSystem& fileSystem = Disk()) {
        const RunEnvironment environment{
            preferences_, flat, fileSystem, [] { return std::string("07/04/24"); },
            [this](std::string_view message) { messages_.emplace_back(message); }};
        return RunProcessing(sheet, selection, environment);
    }

    void WriteTreeTemplate() {
        fs::create_directories(templates_.Path() / "SRG" / "M");
        testing::WriteBytes(templates_.Path() / "SRG" / "M" / "ASTER", testing::kExampleTemplate);
    }
    std::string TemplateIndex() const { return templates_.File("INDICE.Prg"); }
    std::string DestinationIndex() const { return destination_.File("INDICE.Prg"); }
    fs::path TreeProgram(const std::string& rest) const {
        return destination_.Path() / "SRG" / "P" / rest;
    }

    static std::vector<int> Columns(const RunReport& report) {
        std::vector<int> columns;
        for (const KeyResult& key : report.keys)
            columns.push_back(key.column);
        return columns;
    }

    TempFolder templates_;
    TempFolder destination_;
    PreferenceValues preferences_;
    std::vector<std::string> messages_;
};

TEST_F(ProcessingRunTest, WorkedExampleFromTheGridInFlatMode) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    const auto sheet = SheetOf({ExampleColumn("KEY1")});
    const RunReport report = Run(*sheet, true);
    ASSERT_EQ(report.keys.size(), 1U);
    const KeyResult& key = report.keys[0];
    EXPECT_EQ(key.column, 1);
    EXPECT_EQ(key.templateName, "MASTER");
    EXPECT_EQ(key.programName, "KEY1");
    EXPECT_EQ(key.outputPath, destination_.File("KEY1"));
    EXPECT_TRUE(key.programWritten);
    EXPECT_EQ(key.status, "   ");
    EXPECT_TRUE(key.errors.empty());
    EXPECT_EQ(key.indexPath, "");
    EXPECT_EQ(ReadBytes(destination_.File("KEY1")), testing::kExampleFlatProgram);
    EXPECT_FALSE(fs::exists(DestinationIndex()));
    EXPECT_FALSE(fs::exists(TemplateIndex()));
}

TEST_F(ProcessingRunTest, WorkedExampleFromTheGridInTreeModeWithItsIndexEntry) {
    WriteTreeTemplate();
    fs::create_directories(destination_.Path() / "SRG" / "K");
    const std::string templateEntry = testing::RawIndexRecord("MASTER", 'A');
    testing::WriteBytes(TemplateIndex(), templateEntry);
    const auto sheet = SheetOf({ExampleColumn("KEY1")});
    const RunReport report = Run(*sheet, false);
    ASSERT_EQ(report.keys.size(), 1U);
    EXPECT_EQ(report.keys[0].indexPath, DestinationIndex());
    EXPECT_EQ(ReadBytes(destination_.Path() / "SRG" / "K" / "EY1"), testing::kExampleTreeProgram);

    // The entry is made before the generator brackets the description.
    std::string entry = WithBytes(templateEntry, 0, "KEY1        ");
    entry = WithBytes(entry, 13, "KEY (A1)                 ");
    entry = WithBytes(entry, 38, "07/04/24");
    entry = WithBytes(entry, 54, testing::kFloat1_25);
    entry = WithBytes(entry, 62, std::string_view("\x00\x00\x00\x3f", 4));  // 0.5
    EXPECT_EQ(ReadBytes(DestinationIndex()), entry);
}

TEST_F(ProcessingRunTest, IndexStepRunsBeforeTheGeneratorInTreeModeOnly) {
    WriteTreeTemplate();
    testing::WriteBytes(TemplateIndex(), testing::RawIndexRecord("MASTER"));
    fs::create_directories(destination_.Path() / "SRG" / "P");
    const auto sheet = SheetOf({ExampleColumn("P1")});

    testing::RecordingFileSystem tree;
    Run(*sheet, false, NoSelection(), tree);
    const auto& log = tree.Log();
    // The look-up comes first; the destination index is written once the
    // run's entries are all in (one write per index file and run).
    const auto indexLookUp = std::find(log.begin(), log.end(), "read " + TemplateIndex());
    const auto programWrite =
        std::find(log.begin(), log.end(), "write " + TreeProgram("1").string());
    ASSERT_NE(indexLookUp, log.end());
    ASSERT_NE(programWrite, log.end());
    EXPECT_LT(indexLookUp, programWrite);
    EXPECT_EQ(std::count(log.begin(), log.end(), "write " + DestinationIndex()), 1);

    templates_.Write("MASTER", testing::kExampleTemplate);
    testing::RecordingFileSystem flat;
    Run(*sheet, true, NoSelection(), flat);
    for (const std::string& entry : flat.Log()) {
        EXPECT_EQ(entry.find("INDICE.Prg"), std::string::npos) << entry;
    }
}

TEST_F(ProcessingRunTest, WithoutSelectionEveryKeyInColumnOrder) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    const auto sheet = SheetOf({ExampleColumn("P1"), ExampleColumn("P2"), ExampleColumn("P3")});
    const RunReport report = Run(*sheet, true);
    EXPECT_EQ(Columns(report), (std::vector<int>{1, 2, 3}));
    for (const char* name : {"P1", "P2", "P3"}) {
        EXPECT_EQ(ReadBytes(destination_.File(name)), testing::kExampleFlatProgram) << name;
    }
}

TEST_F(ProcessingRunTest, BlockReachingRow1SelectsItsColumns) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    const auto sheet = SheetOf({ExampleColumn("P1"), ExampleColumn("P2"), ExampleColumn("P3"),
                                ExampleColumn("P4"), ExampleColumn("P5")});
    const RunReport report = Run(*sheet, true, BlockSelection(2, 1, 4, 6));
    EXPECT_EQ(Columns(report), (std::vector<int>{2, 3, 4}));
    EXPECT_FALSE(fs::exists(destination_.File("P1")));
    EXPECT_TRUE(fs::exists(destination_.File("P4")));
    EXPECT_FALSE(fs::exists(destination_.File("P5")));
}

TEST_F(ProcessingRunTest, BlockBelowRow1SelectsNoKey) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    const auto sheet = SheetOf({ExampleColumn("P1"), ExampleColumn("P2")});
    const RunReport report = Run(*sheet, true, BlockSelection(2, 5, 2, 8));
    EXPECT_TRUE(report.keys.empty());
    EXPECT_TRUE(fs::is_empty(destination_.Path()));
}

TEST_F(ProcessingRunTest, SheetWithoutColumnsDoesNothing) {
    const auto sheet = SheetOf({});
    testing::RecordingFileSystem recording;
    EXPECT_TRUE(Run(*sheet, false, NoSelection(), recording).keys.empty());
    EXPECT_TRUE(recording.Log().empty());
}

TEST_F(ProcessingRunTest, InitialGridPassesEveryEmptyColumnWithTheInitialRecord) {
    const Sheet sheet;
    const RunReport report = Run(sheet, true);
    ASSERT_EQ(report.keys.size(), 500U);
    for (const KeyResult& key : report.keys) {
        EXPECT_EQ(key.status, "GNF");
        EXPECT_FALSE(key.programWritten);
        EXPECT_EQ(key.programName, "");
    }
    EXPECT_EQ(report.keys.back().column, 500);
    EXPECT_TRUE(fs::is_empty(destination_.Path()));
}

TEST_F(ProcessingRunTest, EmptyRow3PassesTheRecordAsThePreviousKeyLeftIt) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    const auto sheet = SheetOf({ExampleColumn("P1"), {"K2", "", "", "P2", "2", "OTHER", "L=9"}});
    const RunReport report = Run(*sheet, true);
    ASSERT_EQ(report.keys.size(), 2U);
    EXPECT_EQ(report.keys[1].programName, "P1");
    EXPECT_TRUE(report.keys[1].programWritten);
    EXPECT_FALSE(fs::exists(destination_.File("P2")));
    // The record held the bracketed description from the first key.
    EXPECT_EQ(ReadBytes(destination_.File("P1")), testing::kExampleFlatProgram);
}

TEST_F(ProcessingRunTest, FirstKeyWithEmptyRow3GetsTheInitialRecord) {
    const auto sheet = SheetOf({{"K1", "", "", "P1"}});
    const RunReport report = Run(*sheet, true);
    ASSERT_EQ(report.keys.size(), 1U);
    EXPECT_EQ(report.keys[0].status, "GNF");
    EXPECT_EQ(report.keys[0].programName, "");
}

TEST_F(ProcessingRunTest, FieldsAKeyDoesNotSetKeepThePreviousKeysValues) {
    templates_.Write("T", "G00X0Y0Z0T1\r\n(C)A0B0\r\n!\r\n~R1=0|ONE\r\nM30\r\n");
    const auto sheet = SheetOf(
        {KeyColumn("T", "P1", {"L=5", "A=1", "V1=7"}), {"K2", "", "T", "P2", "", "", "B=2"}});
    Run(*sheet, true);
    EXPECT_EQ(ReadBytes(destination_.File("P2")),
              "G00X5Y0Z0T1\r\nG150(!KEY [A1]) A1\r\n!B2\r\n~R1=7|ONE\r\nM30\r\n\r\n");
}

TEST_F(ProcessingRunTest, GnfStaysForEveryLaterKeyWhichIsStillWritten) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    const auto sheet = SheetOf({ExampleColumn("P1"), KeyColumn("NOPE", "P2"), ExampleColumn("P3")});
    const RunReport report = Run(*sheet, true);
    ASSERT_EQ(report.keys.size(), 3U);
    EXPECT_EQ(report.keys[0].status, "   ");
    EXPECT_EQ(report.keys[1].status, "GNF");
    EXPECT_FALSE(report.keys[1].programWritten);
    EXPECT_EQ(report.keys[2].status, "GNF");
    EXPECT_TRUE(report.keys[2].programWritten);
    EXPECT_TRUE(fs::exists(destination_.File("P3")));
    EXPECT_FALSE(fs::exists(destination_.File("P2")));
}

TEST_F(ProcessingRunTest, MissingTemplateStillGetsItsIndexEntryButLaterKeysNone) {
    WriteTreeTemplate();
    fs::create_directories(destination_.Path() / "SRG" / "P");
    testing::WriteBytes(TemplateIndex(),
                        testing::RawIndexRecord("GONE") + testing::RawIndexRecord("MASTER"));
    const auto sheet = SheetOf({KeyColumn("GONE", "P1"), ExampleColumn("P2")});
    const RunReport report = Run(*sheet, false);
    ASSERT_EQ(report.keys.size(), 2U);
    EXPECT_EQ(report.keys[0].status, "GNF");
    EXPECT_EQ(report.keys[0].indexPath, DestinationIndex());
    EXPECT_EQ(report.keys[1].indexPath, "");
    EXPECT_TRUE(report.keys[1].programWritten);
    const std::string index = ReadBytes(DestinationIndex());
    ASSERT_EQ(index.size(), kRecordBytes);
    EXPECT_EQ(index.substr(0, 12), "P1          ");
}

TEST_F(ProcessingRunTest, TemplateFolderWithoutIndexGivesInfAndNoEntries) {
    WriteTreeTemplate();
    fs::create_directories(destination_.Path() / "SRG" / "P");
    const auto sheet = SheetOf({ExampleColumn("P1"), ExampleColumn("P2")});
    const RunReport report = Run(*sheet, false);
    EXPECT_TRUE(fs::exists(TemplateIndex()));
    EXPECT_EQ(fs::file_size(TemplateIndex()), 0U);
    EXPECT_FALSE(fs::exists(DestinationIndex()));
    for (const KeyResult& key : report.keys) {
        EXPECT_EQ(key.status, "INF");
        EXPECT_TRUE(key.programWritten);
    }
    EXPECT_TRUE(messages_.empty());
}

TEST_F(ProcessingRunTest, BadTemplateIndexShowsTheMessageForEveryKey) {
    WriteTreeTemplate();
    fs::create_directories(destination_.Path() / "SRG" / "P");
    testing::WriteBytes(TemplateIndex(), testing::RawIndexRecord("MASTER") + "x");
    const auto sheet = SheetOf({ExampleColumn("P1"), ExampleColumn("P2"), ExampleColumn("P3")});
    const RunReport report = Run(*sheet, false);
    EXPECT_EQ(messages_,
              std::vector<std::string>(3, "!!! PROBLEM DETECTED WITH INDICE.Prg FILE !!!"));
    for (const KeyResult& key : report.keys) {
        EXPECT_EQ(key.status, "IFL");
        EXPECT_TRUE(key.programWritten);  // the generator still writes the program
    }
    EXPECT_FALSE(fs::exists(DestinationIndex()));
}

TEST_F(ProcessingRunTest, IndexEntriesOfARunStandInNameOrder) {
    WriteTreeTemplate();
    fs::create_directories(destination_.Path() / "SRG" / "P");
    testing::WriteBytes(TemplateIndex(), testing::RawIndexRecord("MASTER"));
    const auto sheet = SheetOf(
        {ExampleColumn("P3"), ExampleColumn("P1"), ExampleColumn("P2"), ExampleColumn("p1")});
    Run(*sheet, false);
    const std::string index = ReadBytes(DestinationIndex());
    ASSERT_EQ(index.size(), 3 * kRecordBytes);
    EXPECT_EQ(index.substr(0, 12), "P1          ");
    EXPECT_EQ(index.substr(82, 12), "P2          ");
    EXPECT_EQ(index.substr(164, 12), "P3          ");
}

TEST_F(ProcessingRunTest, TranslationOptionsApplyOnTheWayToTheTemplate) {
    templates_.Write("T", "G00X0Y0Z0T1\r\n(C)\r\n");
    const auto sheet = SheetOf({KeyColumn("T", "P1", {"X=27.75", "L=3"})});
    preferences_.SetTransXL(1);
    Run(*sheet, true);
    EXPECT_EQ(ReadBytes(destination_.File("P1")), "G00X27.75Y3Z0T1\r\nG150(!KEY [A1]) \r\n\r\n");
    preferences_.SetTransXH(1);
    Run(*sheet, true);
    EXPECT_EQ(ReadBytes(destination_.File("P1")), "G00X3Y27.75Z0T1\r\nG150(!KEY [A1]) \r\n\r\n");
}

TEST_F(ProcessingRunTest, ValuesAreFormattedBeforeTheyReachTheProgram) {
    templates_.Write("T", "G00X0Y0Z0T1\r\n(C)A0\r\n!\r\n~R2=0|TWO\r\nM30");
    const auto sheet =
        SheetOf({KeyColumn("T", "P1", {"A=1.0005", "L=-2.0005", "S=0.500", "V2=007", "B=1.5mm"})});
    Run(*sheet, true);
    EXPECT_EQ(ReadBytes(destination_.File("P1")),
              "G00X-2.001Y0Z0.5T1\r\nG150(!KEY [A1]) A1.001\r\n!B1.5mm\r\n~R2=7|TWO\r\nM30\r\n");
}

TEST_F(ProcessingRunTest, MirrorCharacterComesFromThePreferences) {
    templates_.Write("T", "G00T1\r\n(C)\r\n");
    const auto sheet = SheetOf({{"K", "", "T", "P1", "2", "D"}});
    preferences_.SetMirChar("#");
    Run(*sheet, true);
    EXPECT_EQ(ReadBytes(destination_.File("P1")), "G00XYZT1\r\nG150(##D) \r\n\r\n");
    preferences_.SetMirChar("");
    Run(*sheet, true);
    EXPECT_EQ(ReadBytes(destination_.File("P1")), "G00XYZT1\r\nG150(D) \r\n\r\n");
}

TEST_F(ProcessingRunTest, MissingDestinationFolderFailsEveryKeyAndTheRunGoesOn) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    preferences_.DestPath = destination_.File("gone");
    const auto sheet = SheetOf({ExampleColumn("P1"), ExampleColumn("P2")});
    const RunReport report = Run(*sheet, true);
    ASSERT_EQ(report.keys.size(), 2U);
    for (const KeyResult& key : report.keys) {
        EXPECT_FALSE(key.programWritten);
        ASSERT_EQ(key.errors.size(), 1U);
        EXPECT_NE(key.errors[0].find("gone"), std::string::npos);
        EXPECT_EQ(key.status, "   ");
    }
    EXPECT_TRUE(fs::is_empty(destination_.Path()));
}

TEST_F(ProcessingRunTest, MissingTreeSubfolderFailsOnlyItsKeys) {
    WriteTreeTemplate();
    testing::WriteBytes(TemplateIndex(), testing::RawIndexRecord("MASTER"));
    fs::create_directories(destination_.Path() / "SRG" / "Q");
    const auto sheet = SheetOf({ExampleColumn("P1"), ExampleColumn("Q1")});
    const RunReport report = Run(*sheet, false);
    ASSERT_EQ(report.keys.size(), 2U);
    EXPECT_FALSE(report.keys[0].programWritten);
    EXPECT_EQ(report.keys[0].errors.size(), 1U);
    EXPECT_TRUE(report.keys[1].programWritten);
    EXPECT_TRUE(report.keys[1].errors.empty());
    // Both got their index entries: the index step does not depend on the program.
    EXPECT_EQ(fs::file_size(DestinationIndex()), 2 * kRecordBytes);
    EXPECT_FALSE(fs::exists(destination_.Path() / "SRG" / "P"));
}

TEST_F(ProcessingRunTest, ProgramPathThatIsAFolderFailsOnlyThatKey) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    fs::create_directory(destination_.Path() / "P1");
    const auto sheet = SheetOf({ExampleColumn("P1"), ExampleColumn("P2")});
    const RunReport report = Run(*sheet, true);
    EXPECT_FALSE(report.keys[0].programWritten);
    EXPECT_EQ(report.keys[0].errors.size(), 1U);
    EXPECT_TRUE(report.keys[1].programWritten);
    EXPECT_TRUE(fs::is_directory(destination_.Path() / "P1"));
}

TEST_F(ProcessingRunTest, FullDiskForOneProgramLeavesNoPartialFileAndGoesOn) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    destination_.Write("P1", "previous program");
    testing::FaultFileSystem faults;
    faults.FailWrites(destination_.File("P1"));
    const auto sheet = SheetOf({ExampleColumn("P1"), ExampleColumn("P2")});
    const RunReport report = Run(*sheet, true, NoSelection(), faults);
    EXPECT_FALSE(report.keys[0].programWritten);
    EXPECT_EQ(ReadBytes(destination_.File("P1")), "previous program");
    EXPECT_TRUE(report.keys[1].programWritten);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(destination_.Path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"P1", "P2"}));
}

TEST_F(ProcessingRunTest, FailingIndexWriteIsRecordedAndTheProgramStillWritten) {
    WriteTreeTemplate();
    fs::create_directories(destination_.Path() / "SRG" / "P");
    testing::WriteBytes(TemplateIndex(), testing::RawIndexRecord("MASTER"));
    testing::FaultFileSystem faults;
    faults.FailWrites(DestinationIndex());
    const auto sheet = SheetOf({ExampleColumn("P1")});
    const RunReport report = Run(*sheet, false, NoSelection(), faults);
    ASSERT_EQ(report.keys[0].errors.size(), 1U);
    EXPECT_NE(report.keys[0].errors[0].find("INDICE.Prg"), std::string::npos);
    EXPECT_TRUE(report.keys[0].programWritten);
    EXPECT_EQ(report.keys[0].status, "   ");
    EXPECT_FALSE(fs::exists(DestinationIndex()));
}

TEST_F(ProcessingRunTest, ReadOnlyDestinationFailsEveryKeyAndTheRunGoesOn) {
    if (testing::RunningAsRoot())
        GTEST_SKIP() << "permissions do not bind root";
    templates_.Write("MASTER", testing::kExampleTemplate);
    fs::permissions(destination_.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    const auto sheet = SheetOf({ExampleColumn("P1"), ExampleColumn("P2")});
    const RunReport report = Run(*sheet, true);
    ASSERT_EQ(report.keys.size(), 2U);
    for (const KeyResult& key : report.keys)
        EXPECT_EQ(key.errors.size(), 1U);
}

TEST_F(ProcessingRunTest, LocalDateWhenNoneIsGiven) {
    WriteTreeTemplate();
    fs::create_directories(destination_.Path() / "SRG" / "P");
    testing::WriteBytes(TemplateIndex(), testing::RawIndexRecord("MASTER"));
    const auto sheet = SheetOf({ExampleColumn("P1")});
    const RunEnvironment environment{preferences_, false, Disk(), {}, {}};
    RunProcessing(*sheet, NoSelection(), environment);
    const std::string date = ReadBytes(DestinationIndex()).substr(38, 8);
    EXPECT_EQ(date[2], '/');
    EXPECT_EQ(date[5], '/');
}

}  // namespace
}  // namespace bladeway
