// The processing run from the sheet to the files, in both template modes, and
// inputs far from any real one: files above their size limit are refused with
// a message before they are read, odd bytes load in bounded time and memory.
#include "core/keydata/processing_run.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "core/gcode/index_program.h"
#include "core/gcode/index_record.h"
#include "core/gcode/program_generator.h"
#include "core/keydata/key_data_file.h"
#include "support/fault_file_system.h"
#include "support/index_bytes.h"
#include "support/process_memory.h"
#include "support/recording_file_system.h"
#include "support/sheet_builder.h"
#include "support/temp_folder.h"
#include "support/worked_example.h"

namespace bladeway {
namespace {

using testing::BlockSelection;
using testing::PeakMemory;
using testing::RawIndexRecord;
using testing::ReadBytes;
using testing::SheetOf;
using testing::WithBytes;
namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// A key column in the layout of a key data file.
Strings KeyColumn(const std::string& templateName, const std::string& program, Strings pairs = {}) {
    Strings column{"KEY", "", templateName, program, "1", "KEY (A1)"};
    column.insert(column.end(), pairs.begin(), pairs.end());
    return column;
}

// The worked example's key as the grid holds it.
Strings ExampleColumn(const std::string& program) {
    return KeyColumn("MASTER", program, {"L=1.25", "S=0.5", "D=4.75", "V3=14", "R7=2"});
}

// Each key as "column program written|not [status] errors indexed".
Strings Keys(const RunReport& report) {
    Strings keys;
    for (const KeyResult& key : report.keys) {
        keys.push_back(std::to_string(key.column) + " " + key.programName +
                       (key.programWritten ? " written" : " not") + " [" + key.status + "] " +
                       std::to_string(key.errors.size()) +
                       (key.indexPath.empty() ? "" : " indexed"));
    }
    return keys;
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
    // The worked example's template as a tree template, listed in the
    // template index unless `index` says otherwise, and tree subfolders P and K.
    void TreeTemplates(const std::string& index = RawIndexRecord("MASTER")) {
        fs::create_directories(templates_.Path() / "SRG" / "M");
        testing::WriteBytes(templates_.Path() / "SRG" / "M" / "ASTER", testing::kExampleTemplate);
        if (!index.empty())
            testing::WriteBytes(TemplateIndex(), index);
        fs::create_directories(destination_.Path() / "SRG" / "P");
        fs::create_directories(destination_.Path() / "SRG" / "K");
    }
    std::string TemplateIndex() const { return templates_.File("INDICE.Prg"); }
    std::string DestinationIndex() const { return destination_.File("INDICE.Prg"); }

    testing::TempFolder templates_;
    testing::TempFolder destination_;
    PreferenceValues preferences_;
    Strings messages_;
};

TEST_F(ProcessingRunTest, WorkedExampleInFlatModeForEveryKeyInColumnOrder) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    const auto sheet = SheetOf({ExampleColumn("KEY1"), ExampleColumn("P2"), ExampleColumn("P3")});
    const RunReport report = Run(*sheet, true);
    EXPECT_EQ(Keys(report),
              (Strings{"1 KEY1 written [   ] 0", "2 P2 written [   ] 0", "3 P3 written [   ] 0"}));
    EXPECT_EQ(report.keys[0].templateName, "MASTER");
    EXPECT_EQ(report.keys[0].outputPath, destination_.File("KEY1"));
    for (const char* name : {"KEY1", "P2", "P3"})
        EXPECT_EQ(ReadBytes(destination_.File(name)), testing::kExampleFlatProgram) << name;
    EXPECT_FALSE(fs::exists(DestinationIndex()));
    EXPECT_FALSE(fs::exists(TemplateIndex()));
}

TEST_F(ProcessingRunTest, WorkedExampleInTreeModeWithItsIndexEntryLookedUpFirst) {
    const std::string templateEntry = RawIndexRecord("MASTER", 'A');
    TreeTemplates(templateEntry);
    const auto sheet = SheetOf({ExampleColumn("KEY1")});
    testing::RecordingFileSystem recording;
    EXPECT_EQ(Keys(Run(*sheet, false, NoSelection(), recording)),
              Strings{"1 KEY1 written [   ] 0 indexed"});
    EXPECT_EQ(ReadBytes(destination_.Path() / "SRG" / "K" / "EY1"), testing::kExampleTreeProgram);
    // The entry is made before the generator brackets the description.
    std::string entry = WithBytes(templateEntry, 0, "KEY1        ");
    entry = WithBytes(WithBytes(entry, 13, "KEY (A1)                 "), 38, "07/04/24");
    entry = WithBytes(entry, 54, testing::kFloat1_25);
    EXPECT_EQ(ReadBytes(DestinationIndex()), WithBytes(entry, 62, {"\x00\x00\x00\x3f", 4}));
    // The look-up comes before the program; the destination index is written
    // once the run's entries are all in (one write per index file and run).
    const auto& log = recording.Log();
    const auto lookUp = std::find(log.begin(), log.end(), "read " + TemplateIndex());
    ASSERT_NE(lookUp, log.end());
    EXPECT_NE(std::find(lookUp, log.end(),
                        "write " + (destination_.Path() / "SRG" / "K" / "EY1").string()),
              log.end());
    EXPECT_EQ(std::count(log.begin(), log.end(), "write " + DestinationIndex()), 1);
    // Flat mode never touches an index.
    templates_.Write("MASTER", testing::kExampleTemplate);
    testing::RecordingFileSystem flat;
    Run(*sheet, true, NoSelection(), flat);
    for (const std::string& line : flat.Log())
        EXPECT_EQ(line.find("INDICE.Prg"), std::string::npos) << line;
}

TEST_F(ProcessingRunTest, BlockReachingRow1SelectsItsColumnsOtherBlocksNone) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    const auto sheet = SheetOf({ExampleColumn("P1"), ExampleColumn("P2"), ExampleColumn("P3"),
                                ExampleColumn("P4"), ExampleColumn("P5")});
    EXPECT_TRUE(Run(*sheet, true, BlockSelection(2, 5, 2, 8)).keys.empty());
    EXPECT_TRUE(fs::is_empty(destination_.Path()));
    EXPECT_EQ(Keys(Run(*sheet, true, BlockSelection(2, 1, 4, 6))),
              (Strings{"2 P2 written [   ] 0", "3 P3 written [   ] 0", "4 P4 written [   ] 0"}));
    EXPECT_FALSE(fs::exists(destination_.File("P1")));
    EXPECT_FALSE(fs::exists(destination_.File("P5")));
    testing::RecordingFileSystem recording;
    EXPECT_TRUE(Run(*SheetOf({}), false, NoSelection(), recording).keys.empty());
    EXPECT_TRUE(recording.Log().empty());
}

TEST_F(ProcessingRunTest, InitialGridPassesEveryEmptyColumnWithTheInitialRecord) {
    const RunReport report = Run(Sheet(), true);
    ASSERT_EQ(report.keys.size(), 500U);
    const Strings keys = Keys(report);
    for (std::size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(keys[i], std::to_string(i + 1) + "  not [GNF] 0");
    EXPECT_EQ(Keys(Run(*SheetOf({{"K1", "", "", "P1"}}), true)), Strings{"1  not [GNF] 0"});
    EXPECT_TRUE(fs::is_empty(destination_.Path()));
}

TEST_F(ProcessingRunTest, TheRecordCarriesOverFromKeyToKey) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    templates_.Write("T", "G00X0Y0Z0T1\r\n(C)A0B0\r\n!\r\n~R1=0|ONE\r\nM30\r\n");
    // An empty row 3 passes the record as the previous key left it, with its
    // bracketed description; fields a key does not set keep their values.
    const auto sheet = SheetOf({ExampleColumn("P1"), {"K2", "", "", "P2", "2", "OTHER", "L=9"}});
    EXPECT_EQ(Keys(Run(*sheet, true)), (Strings{"1 P1 written [   ] 0", "2 P1 written [   ] 0"}));
    const auto other = SheetOf(
        {KeyColumn("T", "P3", {"L=5", "A=1", "V1=7"}), {"K4", "", "T", "P4", "", "", "B=2"}});
    EXPECT_EQ(Keys(Run(*other, true)), (Strings{"1 P3 written [   ] 0", "2 P4 written [   ] 0"}));
    EXPECT_FALSE(fs::exists(destination_.File("P2")));
    EXPECT_EQ(ReadBytes(destination_.File("P1")), testing::kExampleFlatProgram);
    EXPECT_EQ(ReadBytes(destination_.File("P4")),
              "G00X5Y0Z0T1\r\nG150(!KEY [A1]) A1\r\n!B2\r\n~R1=7|ONE\r\nM30\r\n\r\n");
}

TEST_F(ProcessingRunTest, GnfStaysForEveryLaterKeyWhichStillGetsItsProgramButNoEntry) {
    TreeTemplates(RawIndexRecord("GONE") + RawIndexRecord("MASTER"));
    templates_.Write("MASTER", testing::kExampleTemplate);
    const auto sheet = SheetOf({ExampleColumn("P1"), KeyColumn("NOPE", "P2"), ExampleColumn("P3")});
    EXPECT_EQ(Keys(Run(*sheet, true)),
              (Strings{"1 P1 written [   ] 0", "2 P2 not [GNF] 0", "3 P3 written [GNF] 0"}));
    EXPECT_FALSE(fs::exists(destination_.File("P2")));
    // In tree mode the key without a template still gets its index entry.
    const auto tree = SheetOf({KeyColumn("GONE", "P1"), ExampleColumn("P2")});
    EXPECT_EQ(Keys(Run(*tree, false)),
              (Strings{"1 P1 not [GNF] 0 indexed", "2 P2 written [GNF] 0"}));
    const std::string index = ReadBytes(DestinationIndex());
    ASSERT_EQ(index.size(), kIndexRecordSize);
    EXPECT_EQ(index.substr(0, 12), "P1          ");
}

TEST_F(ProcessingRunTest, TemplateIndexProblemsMarkEveryKeyWhoseProgramIsStillWritten) {
    TreeTemplates("");
    const auto sheet = SheetOf({ExampleColumn("P1"), ExampleColumn("P2")});
    EXPECT_EQ(Keys(Run(*sheet, false)), (Strings{"1 P1 written [INF] 0", "2 P2 written [INF] 0"}));
    EXPECT_EQ(ReadBytes(TemplateIndex()), "");  // created empty
    EXPECT_TRUE(messages_.empty());
    testing::WriteBytes(TemplateIndex(), RawIndexRecord("MASTER") + "x");
    EXPECT_EQ(Keys(Run(*sheet, false)), (Strings{"1 P1 written [IFL] 0", "2 P2 written [IFL] 0"}));
    EXPECT_EQ(messages_, Strings(2, "!!! PROBLEM DETECTED WITH INDICE.Prg FILE !!!"));
    EXPECT_EQ(ReadBytes(TemplateIndex()), RawIndexRecord("MASTER") + "x");
    EXPECT_FALSE(fs::exists(DestinationIndex()));
}

TEST_F(ProcessingRunTest, PreferencesAndFormattingApplyOnTheWayToTheProgram) {
    templates_.Write("T", "G00X0Y0Z0T1\r\n(C)A0\r\n!\r\n~R2=0|TWO\r\nM30");
    const auto sheet = SheetOf({KeyColumn(
        "T", "P1", {"A=1.0005", "L=-2.0005", "S=0.500", "V2=007", "B=1.5mm", "X=27.75"})});
    Run(*sheet, true);
    EXPECT_EQ(
        ReadBytes(destination_.File("P1")),
        "G00X-2.001Y27.75Z0.5T1\r\nG150(!KEY [A1]) A1.001\r\n!B1.5mm\r\n~R2=7|TWO\r\nM30\r\n");
    preferences_.SetTransXL(1);
    preferences_.SetMirChar("#");
    Run(*sheet, true);
    EXPECT_EQ(
        ReadBytes(destination_.File("P1")),
        "G00X27.75Y-2.001Z0.5T1\r\nG150(#KEY [A1]) A1.001\r\n!B1.5mm\r\n~R2=7|TWO\r\nM30\r\n");
    preferences_.SetMirChar("");
    Run(*SheetOf({{"K", "", "T", "P1", "2", "D"}}), true);
    EXPECT_EQ(ReadBytes(destination_.File("P1")),
              "G00X0Y0Z0T1\r\nG150(D) A0\r\n~R2=0|TWO\r\nM30\r\n");
}

TEST_F(ProcessingRunTest, FailingProgramWritesAreRecordedAndTheRunGoesOn) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    fs::create_directory(destination_.Path() / "P1");
    destination_.Write("P2", "previous program");
    testing::FaultFileSystem faults;
    faults.FailWrites(destination_.File("P2"));
    const auto sheet = SheetOf({ExampleColumn("P1"), ExampleColumn("P2"), ExampleColumn("P3")});
    EXPECT_EQ(Keys(Run(*sheet, true, NoSelection(), faults)),
              (Strings{"1 P1 not [   ] 1", "2 P2 not [   ] 1", "3 P3 written [   ] 0"}));
    EXPECT_TRUE(fs::is_directory(destination_.Path() / "P1"));
    EXPECT_EQ(ReadBytes(destination_.File("P2")), "previous program");
    Strings names;
    for (const auto& entry : fs::directory_iterator(destination_.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Strings{"P1", "P2", "P3"}));  // no partial or temporary file

    preferences_.DestPath = destination_.File("gone");
    const RunReport gone = Run(*sheet, true);
    EXPECT_EQ(Keys(gone), (Strings{"1 P1 not [   ] 1", "2 P2 not [   ] 1", "3 P3 not [   ] 1"}));
    EXPECT_NE(gone.keys[2].errors[0].find("gone"), std::string::npos);
    EXPECT_FALSE(fs::exists(destination_.File("gone")));
}

TEST_F(ProcessingRunTest, FailingTreeFilesAreRecordedAndTheRunGoesOn) {
    TreeTemplates();
    fs::remove(destination_.Path() / "SRG" / "P");
    fs::create_directories(destination_.Path() / "SRG" / "Q");
    const auto sheet = SheetOf({ExampleColumn("P1"), ExampleColumn("Q1")});
    // The index step does not depend on the program: both keys get their entry.
    EXPECT_EQ(Keys(Run(*sheet, false)),
              (Strings{"1 P1 not [   ] 1 indexed", "2 Q1 written [   ] 0 indexed"}));
    EXPECT_EQ(fs::file_size(DestinationIndex()), 2 * kIndexRecordSize);
    EXPECT_FALSE(fs::exists(destination_.Path() / "SRG" / "P"));
    testing::FaultFileSystem faults;
    faults.FailWrites(DestinationIndex());
    const RunReport report = Run(*SheetOf({ExampleColumn("Q2")}), false, NoSelection(), faults);
    EXPECT_EQ(Keys(report), Strings{"1 Q2 written [   ] 1"});
    EXPECT_NE(report.keys[0].errors[0].find("INDICE.Prg"), std::string::npos);
    EXPECT_EQ(fs::file_size(DestinationIndex()), 2 * kIndexRecordSize);
}

constexpr std::size_t kMiB = std::size_t{1} << 20;

// Writes `head`, then `pattern` `times` over, then `tail`, without holding the
// file in memory. An empty pattern makes the file `times` bytes long with a
// hole that reads as NUL bytes and costs no disk.
void WriteLarge(const std::string& path, std::string_view head, std::string_view pattern,
                std::size_t times, std::string_view tail = "") {
    std::ofstream file(path, std::ios::binary);
    file << head;
    for (std::size_t i = 0; i < times && !pattern.empty(); ++i)
        file << pattern;
    file << tail << std::flush;
    if (pattern.empty() && times > 0)
        std::filesystem::resize_file(path, times);
}

TEST(LargeInputsTest, KeyDataFilesLoadInBoundedMemoryOrAreRefused) {
    const std::string line(kMiB, '7');
    const struct {
        const char* what;
        std::string_view head, pattern, tail;
        std::size_t times;
        int columns, rows, firstCell;  // columns -1: refused
    } cases[] = {
        {"far above the limit", "[KEY]\r\n", "", "", 1024 * kMiB, -1, 0, 0},
        {"one 48 MB line, then a block end", "", line, "\r\n!\r\n", 48, 1, 1, 48 << 20},
        {"only NUL bytes", "", "", "", 32 * kMiB, 0, 1, 0},
        // Each line end eats the next byte; the last "!" ends the file.
        {"CR without LF", "", "ab\rcd\r!\r", "", 100'000, 99'999, 2, 2},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        testing::TempFolder folder;
        const std::string path = folder.File("keys.dat");
        WriteLarge(path, test.head, test.pattern, test.times, test.tail);
        const std::size_t before = PeakMemory();
        Sheet sheet;
        const Outcome loaded = LoadKeyDataFile(path, sheet);
        ASSERT_EQ(loaded.ok(), test.columns >= 0);
        if (!loaded) {
            EXPECT_NE(loaded.error().find("more than the limit of 67108864"), std::string::npos);
            EXPECT_EQ(sheet.ColumnCount(), Sheet::kInitialColumnCount);  // left as it was
            EXPECT_LT(PeakMemory(), before + kMiB);                      // nothing read
            continue;
        }
        EXPECT_EQ(sheet.ColumnCount(), test.columns);
        EXPECT_EQ(sheet.RowCount(), test.rows);
        EXPECT_EQ(sheet.CellText(1, 1).size(), static_cast<std::size_t>(test.firstCell));
#if !defined(__SANITIZE_ADDRESS__)  // its quarantine holds freed memory
        // The bytes once, 8 bytes per cell and 4 per column.
        const auto columns = static_cast<std::size_t>(test.columns + 1);
        EXPECT_LT(PeakMemory(), before + std::filesystem::file_size(path) +
                                    columns * (8 * static_cast<std::size_t>(test.rows) + 4) +
                                    4 * kMiB);
#endif
    }
}

TEST(LargeInputsTest, TemplateAndIndexAboveTheirLimitsAreRefusedForTheKey) {
    const auto key = [](std::string_view templateName) {
        KeyRecord record;
        record.TemplateName = templateName;
        record.ProgramName = "P1";
        record.Status = "";  // blank: spaces
        return record;
    };
    testing::TempFolder templates, destination;
    const std::string pathT = templates.Path().string(), pathD = destination.Path().string();
    WriteLarge(templates.File("HUGE"), "G00X0Y0Z0\r\n", "", 100 * kMiB);
    WriteLarge(templates.File("EDGE"), "", "", kTemplateFileLimit);  // the limit itself is fine
    KeyRecord huge = key("HUGE"), edge = key("EDGE");
    const GenerationResult refused = GenerateProgram(huge, {pathT, pathD, "", true}, Disk());
    EXPECT_TRUE(refused.templateFound && !refused.written && huge.Status.View() == "   ");
    EXPECT_NE(refused.error.find("more than the limit of 4194304 bytes"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(destination.File("P1")));
    EXPECT_TRUE(GenerateProgram(edge, {pathT, pathD, "", true}, Disk()).written);

    testing::WriteBytes(templates.File("INDICE.Prg"), testing::RawIndexRecord("DZ120"));
    WriteLarge(destination.File("INDICE.Prg"), "", "", kIndexFileLimit + 82);
    KeyRecord record = key("DZ120");
    const IndexResult result = UpdateIndexProgram(record, {pathT, pathD, "12/06/26", {}}, Disk());
    EXPECT_EQ(record.Status.View(), "   ");
    EXPECT_TRUE(result.indexPath.empty());
    EXPECT_EQ(std::filesystem::file_size(destination.File("INDICE.Prg")), kIndexFileLimit + 82);
    ASSERT_EQ(result.errors.size(), 1U);
    EXPECT_NE(result.errors[0].find("more than the limit of 16777216"), std::string::npos);
}

}  // namespace
}  // namespace bladeway
