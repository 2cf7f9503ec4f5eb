// The processing run from the sheet to the files, in both template modes, and
// inputs far from any real one: files above their size limit are refused with
// a message before they are read, odd bytes load in bounded time and memory.
#include "core/run/processing_run.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "core/gcode/index_program.h"
#include "core/gcode/index_record.h"
#include "core/gcode/program_generator.h"
#include "core/journal/journal_folder.h"
#include "core/keydata/key_data_file.h"
#include "core/run/run_report_text.h"
#include "core/run/run_undo.h"
#include "run_folders.h"
#include "support/fault_file_system.h"
#include "support/index_bytes.h"
#include "support/process_memory.h"
#include "support/recording_file_system.h"
#include "support/sheet_builder.h"
#include "support/single_key_index_step.h"
#include "support/temp_folder.h"
#include "support/worked_example.h"

namespace bladeway {
namespace {

using testing::BlockSelection;
using testing::ExampleColumn;
using testing::KeyColumn;
using testing::PeakMemory;
using testing::RawIndexRecord;
using testing::ReadBytes;
using testing::SheetOf;
using testing::WithBytes;
namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using Files = std::map<std::string, std::string>;

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

using ProcessingRunTest = testing::RunFolders;

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
                        "stage " + (destination_.Path() / "SRG" / "K" / "EY1").string()),
              log.end());
    EXPECT_EQ(std::count(log.begin(), log.end(), "write " + DestinationIndex()), 1);
    // Flat mode never touches an index.
    testing::RecordingFileSystem flat;
    Run(*sheet, true, NoSelection(), flat);
    for (const std::string& line : flat.Log())
        EXPECT_EQ(line.find("INDICE.Prg"), std::string::npos) << line;
}

TEST_F(ProcessingRunTest, BlockReachingRow1SelectsItsColumnsOtherBlocksNone) {
    const auto sheet = SheetOf({ExampleColumn("P1"), ExampleColumn("P2"), ExampleColumn("P3"),
                                ExampleColumn("P4"), ExampleColumn("P5")});
    EXPECT_TRUE(Run(*sheet, true, BlockSelection(2, 5, 2, 8)).keys.empty());
    EXPECT_TRUE(fs::is_empty(destination_.Path()));
    EXPECT_EQ(Keys(Run(*sheet, true, BlockSelection(2, 1, 4, 6))),
              (Strings{"2 P2 written [   ] 0", "3 P3 written [   ] 0", "4 P4 written [   ] 0"}));
    EXPECT_EQ(testing::FilesBelow(destination_.Path()).size(), 3U);  // neither P1 nor P5
    testing::RecordingFileSystem recording;
    EXPECT_TRUE(Run(*SheetOf({}), false, NoSelection(), recording).keys.empty());
    EXPECT_TRUE(recording.Log().empty());
}

TEST_F(ProcessingRunTest, InitialGridPassesEveryEmptyColumnWithTheInitialRecord) {
    Strings keys;
    for (int column = 1; column <= 500; ++column)
        keys.push_back(std::to_string(column) + "  not [GNF] 0");
    EXPECT_EQ(Keys(Run(Sheet(), true)), keys);
    EXPECT_EQ(Keys(Run(*SheetOf({{"K1", "", "", "P1"}}), true)), Strings{"1  not [GNF] 0"});
    EXPECT_TRUE(fs::is_empty(destination_.Path()));
}

TEST_F(ProcessingRunTest, TheRecordCarriesOverFromKeyToKey) {
    templates_.Write("T", "G00X0Y0Z0T1\r\n(C)A0B0\r\n!\r\n~R1=0|ONE\r\nM30\r\n");
    // An empty row 3 passes the record as the previous key left it, with its
    // bracketed description; fields a key does not set keep their values.
    const auto sheet = SheetOf({ExampleColumn("P1"), {"K2", "", "", "P2", "2", "OTHER", "L=9"}});
    const RunReport report = Run(*sheet, true);
    EXPECT_EQ(Keys(report), (Strings{"1 P1 written [   ] 0", "2 P1 written [   ] 0"}));
    EXPECT_EQ(report.keys[0].templateName, "MASTER");
    EXPECT_EQ(report.keys[0].outputPath, destination_.File("P1"));
    const auto other = SheetOf(
        {KeyColumn("T", "P3", {"L=5", "A=1", "V1=7"}), {"K4", "", "T", "P4", "", "", "B=2"}});
    EXPECT_EQ(Keys(Run(*other, true)), (Strings{"1 P3 written [   ] 0", "2 P4 written [   ] 0"}));
    EXPECT_FALSE(fs::exists(destination_.File("P2")));
    EXPECT_EQ(ReadBytes(destination_.File("P1")), testing::kExampleFlatProgram);
    EXPECT_EQ(ReadBytes(destination_.File("P4")),
              "G00X5Y0Z0T1\r\nG150(!KEY [A1]) A1\r\n!B2\r\n~R1=7|ONE\r\nM30\r\n\r\n");
}

// Where each key's program went in the index, and why not, in a worker's
// words: one run per way an index can be missed. A problem of the template
// index marks every key, whose program is still written.
TEST_F(ProcessingRunTest, EveryKeySaysWhetherItsProgramWasEnteredInTheIndexAndWhyNot) {
    const std::string master = RawIndexRecord("MASTER");
    struct Case {
        const char* name;
        std::string templateIndex;     // empty: none
        std::string destinationIndex;  // empty: none
        Strings second;                // the second key's column (the first is the example)
        Strings lines;                 // per key: index outcome | status
        std::string summary;
    };
    const std::string templates = TemplateIndex();
    const std::string destination = DestinationIndex();
    const std::string entered = "entered in '" + destination + "' | ok";
    // Both keys' line for a damaged index; `size` is what the parentheses hold and what follows.
    const auto damaged = [](const std::string& which, const std::string& path,
                            const std::string& size, const std::string& status) {
        return Strings(2, "not entered: " + which + " index '" + path + "' is damaged (" + size +
                              "; put it right with: bladeway-cli index repair " + path + " | " +
                              status);
    };
    const auto unlisted = [&templates](const std::string& name) {
        return "not entered: template " + name + " is not listed in template index '" + templates +
               "'";
    };
    const std::string noneEntered =
        "2 keys processed: 2 programs written, 2 keys with problems, 2 programs not entered in "
        "INDICE.Prg";
    // clang-format off
    const std::vector<Case> cases{
        // First, while the template folder has no index yet: the run makes it empty.
        {"no template index", "", "", ExampleColumn("P2"), Strings(2, unlisted("MASTER") + " | INF"),
         noneEntered},
        {"both entered", master, "", ExampleColumn("P2"), {entered, entered},
         "2 keys processed: 2 programs written, 0 keys with problems"},
        // Damaged, though it lists the template.
        {"template index 5 bytes too long", master + "12345", "", ExampleColumn("P2"),
         damaged("template", templates, "87 bytes: 5 bytes past record 1)", "IFL"), noneEntered},
        // The second template's file is missing too: the generator's code comes last.
        {"second template not listed, then updates stop", master, "", KeyColumn("OTHER", "P2"),
         {entered, unlisted("OTHER") + " | GNF"},
         "2 keys processed: 1 program written, 1 key with problems, 1 program not entered in INDICE.Prg"},
        {"destination index damaged", master, std::string(100, 'x'), ExampleColumn("P2"),
         damaged("destination", destination, "100 bytes: 18 bytes past record 1), left unchanged", "-"),
         noneEntered},
    };
    // clang-format on
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        fs::remove_all(destination_.Path());
        TreeTemplates(test.templateIndex);
        if (!test.destinationIndex.empty())
            testing::WriteBytes(destination, test.destinationIndex);
        const RunReport report = Run(*SheetOf({ExampleColumn("P1"), test.second}), false);
        Strings lines;
        for (const KeyResult& key : report.keys)
            lines.push_back(IndexOutcomeText(key, false) + " | " + StatusText(key));
        EXPECT_EQ(lines, test.lines);
        EXPECT_EQ(SummaryLine(report, false), test.summary);
        EXPECT_EQ(ReadBytes(templates), test.templateIndex) << "changed";
        // A damaged index is left as it was; none is made without an entry.
        if (!test.destinationIndex.empty())
            EXPECT_EQ(ReadBytes(destination), test.destinationIndex) << "changed";
        else
            EXPECT_EQ(fs::exists(destination), test.lines[0].starts_with("entered"));
        // The index step's message, once for each key that finds the template index damaged.
        EXPECT_EQ(messages_, Strings(test.lines[0].ends_with("IFL") ? 2 : 0,
                                     "!!! PROBLEM DETECTED WITH INDICE.Prg FILE !!!"));
        messages_.clear();
    }
}

// A missing template (GNF) still gets its entry, since the index step comes
// first; every later key carries its status, and its entry is left out.
TEST_F(ProcessingRunTest, AStatusCarriedFromAnEarlierKeyIsShownAsSuchApartFromTheKeysOwn) {
    TreeTemplates(RawIndexRecord("GONE") + RawIndexRecord("MASTER"));
    const auto sheet = SheetOf({ExampleColumn("P1"), KeyColumn("GONE", "P2"), ExampleColumn("P3"),
                                KeyColumn("GONE", "P4"), ExampleColumn("P5")});
    const RunReport report = Run(*sheet, false);
    // Every later key still gets its program.
    EXPECT_EQ(Keys(report),
              (Strings{"1 P1 written [   ] 0 indexed", "2 P2 not [GNF] 0 indexed",
                       "3 P3 written [GNF] 0", "4 P4 not [GNF] 0", "5 P5 written [GNF] 0"}));
    Strings lines;
    for (const KeyResult& key : report.keys)
        lines.push_back(ColumnText(key) + " " + StatusText(key) + " | " +
                        IndexOutcomeText(key, false));
    const std::string entered = "entered in '" + DestinationIndex() + "'";
    const std::string stopped = "not entered: index updates stopped by the problem of column ";
    // The entry without its program says what the control makes of it.
    const std::string withoutProgram =
        ", but its program was not written: the control lists a program it cannot find; add the "
        "template '" +
        (templates_.Path() / "SRG" / "G" / "ONE").string() +
        "', then run this key again (bladeway-cli index show " + DestinationIndex() +
        " lists the entry)";
    EXPECT_EQ(lines, (Strings{"A ok | " + entered, "B GNF | " + entered + withoutProgram,
                              "C GNF, from column B | " + stopped + "B (GNF)",
                              "D GNF | " + stopped + "B (GNF)",
                              "E GNF, from column D | " + stopped + "D (GNF)"}));
    EXPECT_EQ(StatusMeaning(report.keys[2]),
              "set by the problem of an earlier key and kept for the rest of the run");
    EXPECT_EQ(StatusMeaning(report.keys[1]), "template file not found, no program written");
    EXPECT_EQ(ReadBytes(DestinationIndex()).size(), 2 * kIndexRecordSize);
}

// The values a key took from the keys before it, as they go into its program,
// and those it took as they were at the start of the run.
TEST_F(ProcessingRunTest, FieldsAKeyTakesFromEarlierKeysAreNamed) {
    TreeTemplates();
    const auto sheet = SheetOf(
        {KeyColumn("MASTER", "P1", {"L=1", "S=2", "V0=1", "V1=2", "V2=3", "V4=5", "A=1"}),
         KeyColumn("MASTER", "P2", {"L=3", "a=2"}),
         {"K3", "", "", "P3", "", "", "S=9"},  // no template: the whole key is the previous one
         {"K4", "", "MASTER", "P4", "", "", "S=", "L=", "V0=", "V1=", "V2=", "V4=", "A="}});
    const auto carried = [](const RunReport& report) {
        Strings texts;
        for (const KeyResult& key : report.keys)
            texts.push_back(CarriedOverText(key));
        return texts;
    };
    EXPECT_EQ(carried(Run(*sheet, true)),
              (Strings{"", "S, R0 to R2, R4 from earlier keys",
                       "template name, program name, mirror count, description, A, L, S, R0 to R2, "
                       "R4 from earlier keys",
                       "mirror count, description from earlier keys"}));
    // Tree mode lists no variables: its programs leave them out.
    EXPECT_EQ(carried(Run(*sheet, false))[1], "S from earlier keys");
    // Run alone, a key names the values other keys set that it took as they
    // were at the start: why its program differs from the whole run's.
    EXPECT_EQ(carried(Run(*sheet, true, BlockSelection(2, 1, 2, 1))),
              (Strings{"S, R0 to R2, R4 at initial values"}));
    EXPECT_EQ(carried(Run(*sheet, true, BlockSelection(3, 1, 3, 1))),
              (Strings{"template name, program name, mirror count, description, A, L, S, R0 to "
                       "R2, R4 at initial values"}));
}

TEST_F(ProcessingRunTest, PreferencesAndFormattingApplyOnTheWayToTheProgram) {
    templates_.Write("T", "G00X0Y0Z0T1\r\n(C)A0\r\n!\r\n~R2=0|TWO\r\nM30");
    const auto sheet = SheetOf({KeyColumn(
        "T", "P1", {"A=1.0005", "L=-2.0005", "S=0.500", "V2=007", "B=1.5mm", "X=27.75"})});
    Run(*sheet, true);
    EXPECT_EQ(
        ReadBytes(destination_.File("P1")),
        "G00X-2.001Y27.75Z0.5T1\r\nG150(!KEY [A1]) A1.001\r\n!B1.5mm\r\n~R2=7|TWO\r\nM30\r\n");
    preferences_.SetXLToLHOption(1);
    preferences_.SetMirrorCharacter("#");
    Run(*sheet, true);
    EXPECT_EQ(
        ReadBytes(destination_.File("P1")),
        "G00X27.75Y-2.001Z0.5T1\r\nG150(#KEY [A1]) A1.001\r\n!B1.5mm\r\n~R2=7|TWO\r\nM30\r\n");
    preferences_.SetMirrorCharacter("");
    Run(*SheetOf({{"K", "", "T", "P1", "2", "D"}}), true);
    EXPECT_EQ(ReadBytes(destination_.File("P1")),
              "G00X0Y0Z0T1\r\nG150(D) A0\r\n~R2=0|TWO\r\nM30\r\n");
}

// Three flat keys: a folder stands where P1 goes, and writing P2 over an old
// program fails.
class FailingProgramWriteTest : public ProcessingRunTest {
  protected:
    FailingProgramWriteTest() {
        fs::create_directory(destination_.Path() / "P1");
        destination_.Write("P2", "previous program");
        faults_.FailWrites(destination_.File("P2"));
    }

    const std::unique_ptr<Sheet> sheet_ =
        SheetOf({ExampleColumn("P1"), ExampleColumn("P2"), ExampleColumn("P3")});
    testing::FaultFileSystem faults_;
};

TEST_F(FailingProgramWriteTest, IsRecordedForItsKeyKeepsWhatWasThereAndTheRunGoesOn) {
    EXPECT_EQ(Keys(Run(*sheet_, true, NoSelection(), faults_)),
              (Strings{"1 P1 not [   ] 1", "2 P2 not [   ] 1", "3 P3 written [   ] 0"}));
    EXPECT_TRUE(fs::is_directory(destination_.Path() / "P1"));
    // No partial or temporary file either.
    EXPECT_EQ(
        testing::FilesBelow(destination_.Path()),
        (Files{{"P2", "previous program"}, {"P3", std::string(testing::kExampleFlatProgram)}}));
}

TEST_F(FailingProgramWriteTest, IntoAMissingFolderFailsEveryKeyNamingTheFolder) {
    preferences_.destinationFolder = destination_.File("gone");
    const RunReport gone = Run(*sheet_, true);
    EXPECT_EQ(Keys(gone), (Strings{"1 P1 not [   ] 1", "2 P2 not [   ] 1", "3 P3 not [   ] 1"}));
    EXPECT_NE(gone.keys[2].errors[0].find("gone"), std::string::npos);
    EXPECT_FALSE(fs::exists(destination_.File("gone")));  // the run makes no folder
}

// The index step does not depend on the program: a key whose tree folder is
// missing still gets its entry.
TEST_F(ProcessingRunTest, AMissingTreeFolderFailsOnlyTheProgram) {
    TreeTemplates();
    fs::remove(destination_.Path() / "SRG" / "P");
    fs::create_directories(destination_.Path() / "SRG" / "Q");
    const auto sheet = SheetOf({ExampleColumn("P1"), ExampleColumn("Q1")});
    EXPECT_EQ(Keys(Run(*sheet, false)),
              (Strings{"1 P1 not [   ] 1 indexed", "2 Q1 written [   ] 0 indexed"}));
    EXPECT_EQ(fs::file_size(DestinationIndex()), 2 * kIndexRecordSize);
    EXPECT_FALSE(fs::exists(destination_.Path() / "SRG" / "P"));  // not made either
}

TEST_F(ProcessingRunTest, AFailingIndexWriteFailsOnlyTheEntryAndKeepsTheIndex) {
    TreeTemplates();
    fs::create_directories(destination_.Path() / "SRG" / "Q");
    const std::string index = RawIndexRecord("P1") + RawIndexRecord("Q1");
    testing::WriteBytes(DestinationIndex(), index);
    testing::FaultFileSystem faults;
    faults.FailWrites(DestinationIndex());
    const RunReport report = Run(*SheetOf({ExampleColumn("Q2")}), false, NoSelection(), faults);
    EXPECT_EQ(Keys(report), Strings{"1 Q2 written [   ] 1"});
    EXPECT_NE(report.keys[0].errors[0].find("INDICE.Prg"), std::string::npos);
    EXPECT_EQ(ReadBytes(DestinationIndex()), index);
}

// Checks a run's log against the batch discipline: a program moves into place
// only after a flush that covered it, its folder is flushed before the batch
// ends, and an index is written only with every program staged before it in
// place and its folder flushed. Returns the number of batches (flushes).
int CheckBatchOrder(const Strings& log) {
    std::set<std::string> staged, flushed, unflushedFolders;
    int flushes = 0;
    bool inFlush = false;
    for (const std::string& line : log) {
        const auto argument = [&](std::string_view verb) {
            return line.rfind(verb, 0) == 0 ? line.substr(verb.size()) : std::string{};
        };
        const bool flushLine = !argument("flush ").empty() && argument("flush folder ").empty();
        if (flushLine && !inFlush)
            ++flushes;
        inFlush = flushLine;
        if (const std::string path = argument("stage "); !path.empty()) {
            staged.insert(path);
            flushed.erase(path);
        } else if (flushLine) {
            EXPECT_TRUE(staged.contains(argument("flush "))) << line;
            flushed.insert(argument("flush "));
        } else if (const std::string moved = argument("move "); !moved.empty()) {
            EXPECT_TRUE(flushed.contains(moved)) << "moved before its flush: " << moved;
            staged.erase(moved);
            unflushedFolders.insert(fs::path(moved).parent_path().string());
        } else if (const std::string folder = argument("flush folder "); !folder.empty()) {
            unflushedFolders.erase(folder);
        } else if (const std::string written = argument("write "); !written.empty()) {
            EXPECT_NE(written.find("INDICE.Prg"), std::string::npos) << "a program outside a batch";
            EXPECT_TRUE(staged.empty()) << "index written before its programs: " << written;
            EXPECT_TRUE(unflushedFolders.empty()) << "index written before a folder flush";
        }
    }
    EXPECT_TRUE(staged.empty() && unflushedFolders.empty()) << "the run ended mid-batch";
    return flushes;
}

TEST_F(ProcessingRunTest, ProgramsAreFlushedInBatchesBeforeTheyAreMovedAndIndexed) {
    TreeTemplates();
    limits_ = {std::chrono::hours(1), std::size_t{1} << 30, 10};
    std::vector<Strings> columns;
    for (std::size_t n = 0; n <= limits_.keys; ++n)
        columns.push_back(ExampleColumn((n % 2 == 0 ? "P" : "K") + std::to_string(n)));
    testing::RecordingFileSystem recording;
    const RunReport report = Run(*SheetOf(columns), false, NoSelection(), recording);
    for (const KeyResult& key : report.keys)
        ASSERT_TRUE(key.programWritten && !key.indexPath.empty() && key.errors.empty());
    EXPECT_EQ(CheckBatchOrder(recording.Log()), 2);
    // The first batch is the index batch: its index is written with its last
    // program in place, before the next key's program is staged.
    const Strings& log = recording.Log();
    const auto firstIndex = std::find(log.begin(), log.end(), "write " + DestinationIndex());
    const auto lastOfBatch = std::find(
        log.begin(), log.end(), "move " + (destination_.Path() / "SRG" / "K" / "9").string());
    const auto nextKey = std::find(log.begin(), log.end(),
                                   "stage " + (destination_.Path() / "SRG" / "P" / "10").string());
    EXPECT_TRUE(lastOfBatch < firstIndex && firstIndex < nextKey);
    EXPECT_EQ(std::count(log.begin(), log.end(), "write " + DestinationIndex()), 2);
    EXPECT_EQ(saving_, (std::vector<std::size_t>{10, 0, 1, 0}));
    // Key 10, the second batch, alone goes to SRG/P.
    for (const auto& [folder, flushes] : {std::pair{"P", 2}, std::pair{"K", 1}})
        EXPECT_EQ(std::count(log.begin(), log.end(),
                             "flush folder " + (destination_.Path() / "SRG" / folder).string()),
                  flushes);
    EXPECT_EQ(fs::file_size(DestinationIndex()), columns.size() * kIndexRecordSize);
    // A batch also ends once it has taken its time: here at once, each key.
    limits_ = {std::chrono::milliseconds(0), std::size_t{1} << 30, 10};
    testing::RecordingFileSystem timed;
    Run(*SheetOf({columns[0], columns[1], columns[2]}), false, NoSelection(), timed);
    EXPECT_EQ(CheckBatchOrder(timed.Log()), 3);
}

// A template folder that is also the destination: a key reads the programs and
// the index that earlier keys of the run wrote, each batch ending early enough.
TEST_F(ProcessingRunTest, ReadsOfTheRunsOwnFilesSeeWhatItWrote) {
    preferences_.destinationFolder = preferences_.templateFolder;
    const auto flat = SheetOf({ExampleColumn("COPY"), KeyColumn("COPY", "P2"),
                               KeyColumn("MASTER", "P3"), KeyColumn("MASTER", "P3", {"L=7"})});
    testing::RecordingFileSystem recording;
    EXPECT_EQ(Keys(Run(*flat, true, NoSelection(), recording)),
              (Strings{"1 COPY written [   ] 0", "2 P2 written [   ] 0", "3 P3 written [   ] 0",
                       "4 P3 written [   ] 0"}));
    EXPECT_EQ(CheckBatchOrder(recording.Log()), 1);
    // P2 is made of the staged COPY, its body the whole of it but line 1.
    const std::string copy = ReadBytes(templates_.File("COPY"));
    EXPECT_EQ(copy, testing::kExampleFlatProgram);
    const std::string p2 = ReadBytes(templates_.File("P2"));
    EXPECT_TRUE(p2.ends_with(copy.substr(copy.find("\r\n!") + 2) + "\r\n")) << p2;
    EXPECT_EQ(ReadBytes(templates_.File("P3")).substr(0, 9), "G00X7Y0Z0");  // the last one wins

    TreeTemplates();
    const auto tree = SheetOf({ExampleColumn("MASTER2"), ExampleColumn("MASTER3")});
    testing::RecordingFileSystem treeRecording;
    EXPECT_EQ(Keys(Run(*tree, false, NoSelection(), treeRecording)),
              (Strings{"1 MASTER2 written [   ] 0 indexed", "2 MASTER3 written [   ] 0 indexed"}));
    EXPECT_EQ(CheckBatchOrder(treeRecording.Log()), 2);  // key 2 reads the index key 1 wrote
    EXPECT_EQ(fs::file_size(TemplateIndex()), 3 * kIndexRecordSize);
}

// Three keys of one batch over an old program SRG/P/2 and an old index. Nothing
// on disk before the run is lost when the batch cannot be made durable or a
// program cannot be moved into place.
class FailingBatchTest : public ProcessingRunTest {
  protected:
    FailingBatchTest() {
        TreeTemplates();
        testing::WriteBytes(old_, "previous program");
        testing::WriteBytes(DestinationIndex(), RawIndexRecord("OLD"));
        before_ = testing::FilesBelow(destination_.Path());
    }

    const fs::path old_ = destination_.Path() / "SRG" / "P" / "2";
    const std::unique_ptr<Sheet> sheet_ =
        SheetOf({ExampleColumn("P1"), ExampleColumn("P2"), ExampleColumn("K3")});
    Files before_;
};

// What a run replaces is kept first, so that its undo gives every file and
// entry back; a journal that cannot keep ends the run before anything is
// replaced.
TEST_F(FailingBatchTest, TheJournalKeepsWhatTheRunReplacesOrTheRunReplacesNothing) {
    testing::TempFolder state;
    RunEnvironment environment = Environment(false);
    // A journal folder below a file cannot keep anything.
    std::string& runs = environment.journal.folder = JoinPath(state.Write("file", ""), "runs");
    const RunReport refused = RunProcessing(*sheet_, NoSelection(), environment);
    EXPECT_TRUE(refused.journalProblem.starts_with("the run journal in '" + runs +
                                                   "' cannot keep what the run replaces: "))
        << refused.journalProblem;
    EXPECT_EQ(refused.journalId, "");
    EXPECT_EQ(testing::FilesBelow(destination_.Path()), before_);

    runs = JoinPath(state.Path().string(), "runs");
    const RunReport report = RunProcessing(*sheet_, NoSelection(), environment);
    EXPECT_EQ(report.journalProblem, "");
    EXPECT_NE(testing::FilesBelow(destination_.Path()), before_);
    const auto run = FindJournal(runs, report.journalId);
    ASSERT_TRUE(run) << run.error();
    UndoOptions options;
    options.place.folder = runs;
    const UndoReport undo = UndoRun(run.value(), options);
    EXPECT_TRUE(UndoneCompletely(undo)) << UndoReportLines(undo).back();
    EXPECT_EQ(testing::FilesBelow(destination_.Path()), before_);
}

TEST_F(FailingBatchTest, AFailingFlushFailsEveryKeyOfTheBatchAndLeavesTheDiskAsItWas) {
    for (const bool flat : {true, false}) {
        SCOPED_TRACE(flat ? "flat" : "tree");
        testing::FaultFileSystem faults;
        faults.FailFlushes();
        const RunReport report = Run(*sheet_, flat, NoSelection(), faults);
        ASSERT_EQ(report.keys.size(), 3U);
        for (const KeyResult& key : report.keys) {
            EXPECT_FALSE(key.programWritten);
            EXPECT_TRUE(key.indexPath.empty());
            ASSERT_FALSE(key.errors.empty());
            EXPECT_NE(key.errors.back().find(key.outputPath), std::string::npos);
            EXPECT_NE(key.errors.back().find("Input/output error"), std::string::npos);
        }
        EXPECT_EQ(testing::FilesBelow(destination_.Path()), before_);  // no temporary left
    }
}

TEST_F(FailingBatchTest, AFailingMoveFailsItsKeyOnlyAndKeepsTheOldProgram) {
    testing::FaultFileSystem faults;
    faults.FailMoves(old_.string());
    EXPECT_EQ(Keys(Run(*sheet_, false, NoSelection(), faults)),
              (Strings{"1 P1 written [   ] 0 indexed", "2 P2 not [   ] 1 indexed",
                       "3 K3 written [   ] 0 indexed"}));
    EXPECT_EQ(ReadBytes(old_), "previous program");
    EXPECT_EQ(testing::FilesBelow(destination_.Path()).size(), before_.size() + 2);
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

TEST_F(ProcessingRunTest, AStopRequestEndsTheRunBetweenKeysWithTheirIndexEntriesWritten) {
    TreeTemplates();
    const auto sheet = SheetOf({ExampleColumn("P1"), ExampleColumn("P2"), ExampleColumn("P3"),
                                ExampleColumn("P4"), ExampleColumn("P5")});
    std::vector<std::pair<std::size_t, std::size_t>> progress;
    RunEnvironment environment = Environment(false);
    environment.progress = [&](std::size_t done, std::size_t total) {
        progress.emplace_back(done, total);
    };
    environment.stopRequested = [&] { return progress.size() == 3; };
    const RunReport report = RunProcessing(*sheet, BlockSelection(2, 1, 5, 1), environment);

    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.plannedKeys, 4U);
    EXPECT_EQ(Keys(report),
              (Strings{"2 P2 written [   ] 0 indexed", "3 P3 written [   ] 0 indexed"}));
    EXPECT_EQ(report.notProcessed, (std::vector<int>{4, 5}));
    EXPECT_EQ(progress, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 4}, {1, 4}, {2, 4}}));
    const std::string index = ReadBytes(DestinationIndex());
    ASSERT_EQ(index.size(), 2 * kIndexRecordSize);
    EXPECT_EQ(index.substr(0, 2), "P2");
    EXPECT_EQ(index.substr(kIndexRecordSize, 2), "P3");
    EXPECT_FALSE(fs::exists(destination_.Path() / "SRG" / "P" / "4"));
}

TEST(LargeInputsTest, KeyDataFilesLoadInBoundedMemoryOrAreRefused) {
    const std::string line(kMiB, '7');
    const struct {
        const char* what;
        std::string_view head, pattern, tail;
        std::size_t times;
        int columns, rows, firstCell;  // columns -1: refused
    } cases[] = {
        {"one byte above the limit", "[KEY]\r\n", "", "", kKeyDataFileLimit + 1, -1, 0, 0},
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
            EXPECT_NE(loaded.error().find("keys.dat"), std::string::npos) << loaded.error();
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

// A template or an index above its size limit is refused for the key; the
// limit itself is fine.
TEST_F(ProcessingRunTest, AFileAboveItsLimitIsRefusedForTheKey) {
    const std::string& pathT = preferences_.templateFolder;
    const std::string& pathD = preferences_.destinationFolder;
    WriteLarge(templates_.File("HUGE"), "G00X0Y0Z0\r\n", "", 100 * kMiB);
    WriteLarge(templates_.File("EDGE"), "", "", kTemplateFileLimit);
    KeyRecord huge = testing::ExampleKey("HUGE", "P1"), edge = testing::ExampleKey("EDGE", "P1");
    huge.Status = "";  // blank: spaces
    const GenerationResult refused = GenerateProgram(huge, {pathT, pathD, "", true}, Disk());
    EXPECT_TRUE(refused.templateFound);
    EXPECT_FALSE(refused.written);
    EXPECT_EQ(huge.Status.View(), "   ");
    EXPECT_NE(refused.error.find("more than the limit of 4194304 bytes"), std::string::npos);
    EXPECT_FALSE(fs::exists(destination_.File("P1")));
    EXPECT_TRUE(GenerateProgram(edge, {pathT, pathD, "", true}, Disk()).written);

    testing::WriteBytes(TemplateIndex(), RawIndexRecord("DZ120"));
    WriteLarge(DestinationIndex(), "", "", kIndexFileLimit + 82);
    KeyRecord record = testing::ExampleKey("DZ120", "P1");
    record.Status = "";
    const testing::IndexResult result =
        testing::UpdateIndexProgram(record, {pathT, pathD, "12/06/26", {}}, Disk());
    EXPECT_EQ(record.Status.View(), "   ");
    EXPECT_TRUE(result.indexPath.empty());
    EXPECT_EQ(fs::file_size(DestinationIndex()), kIndexFileLimit + 82);
    ASSERT_EQ(result.errors.size(), 1U);
    EXPECT_NE(result.errors[0].find("more than the limit of 16777216"), std::string::npos);
}

}  // namespace
}  // namespace bladeway
