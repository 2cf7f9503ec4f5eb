// The run's wording shared by the command-line tool and the desktop report,
// and the preview: what Process would write for one key, writing nothing.
#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "core/run/program_preview.h"
#include "core/run/run_report_text.h"
#include "support/fault_file_system.h"
#include "support/index_bytes.h"
#include "support/sheet_builder.h"
#include "support/temp_folder.h"
#include "support/worked_example.h"

namespace bladeway {
namespace {

namespace fs = std::filesystem;
using testing::SheetOf;
using Strings = std::vector<std::string>;

Strings KeyColumn(const std::string& templateName, const std::string& program, Strings pairs = {}) {
    Strings column{"KEY", "", templateName, program, "1", "KEY (A1)"};
    column.insert(column.end(), pairs.begin(), pairs.end());
    return column;
}

class RunTextTest : public ::testing::Test {
  protected:
    RunTextTest() {
        preferences.templateFolder = templates.Path().string();
        preferences.destinationFolder = destination.Path().string();
        templates.Write("MASTER", testing::kExampleTemplate);
    }
    RunEnvironment Environment(FileSystem& fileSystem, bool flat = true) {
        return {preferences, flat, fileSystem, [] { return std::string("07/04/24"); }, {}};
    }
    RunReport Run(const Sheet& sheet, FileSystem& fileSystem = Disk()) {
        return RunProcessing(sheet, NoSelection(), Environment(fileSystem));
    }

    testing::TempFolder templates;
    testing::TempFolder destination;
    PreferenceValues preferences;
};

TEST_F(RunTextTest, EachKindOfProblemReadsAsTheCommandLineToolSaysIt) {
    testing::FaultFileSystem faults;
    faults.FailWrites(destination.File("FULL"));
    struct Case {
        Strings column;
        std::string status, outcome, problems;
    };
    // One run each: a problem code stays in the run's record for later keys.
    const std::vector<Case> cases{
        {KeyColumn("MASTER", "GOOD"), "ok", "wrote " + destination.File("GOOD"), ""},
        {KeyColumn("GONE", "MISSING"), "GNF",
         "not written: template " + templates.File("GONE") + " not found", ""},
        {KeyColumn("", ""), "GNF", "not written: no template name", ""},
        {KeyColumn("MASTER", "FULL"), "-", "not written",
         "cannot write '" + destination.File("FULL") + "': No space left on device"}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.outcome);
        const RunReport report = Run(*SheetOf({test.column}), faults);
        ASSERT_EQ(report.keys.size(), 1U);
        const KeyResult& key = report.keys.front();
        EXPECT_EQ(StatusText(key), test.status);
        EXPECT_EQ(ProgramOutcomeText(key, false), test.outcome);
        EXPECT_EQ(ProblemsText(key), test.problems);
        EXPECT_EQ(EndedWell(key), test.status == "ok" && test.problems.empty());
        EXPECT_EQ(StatusMeaning(key).empty(), test.status == "ok" || test.status == "-");
    }
    const RunReport report = Run(*SheetOf({KeyColumn("MASTER", "GOOD"), KeyColumn("MASTER", "FULL"),
                                           KeyColumn("GONE", "MISSING")}),
                                 faults);
    EXPECT_EQ(KeyLine(report.keys[1], false),
              "column B  FULL  not written  status -  error: " + cases[3].problems);
    EXPECT_EQ(SummaryLine(report, false),
              "3 keys processed: 1 program written, 2 keys with problems");
}

TEST_F(RunTextTest, AStoppedRunSaysHowFarItCameInGroupedCounts) {
    for (const auto& [count, text] : std::vector<std::pair<std::size_t, std::string>>{
             {0, "0"}, {999, "999"}, {1000, "1,000"}, {1234567, "1,234,567"}}) {
        EXPECT_EQ(GroupedCount(count), text);
    }
    const auto sheet = SheetOf({KeyColumn("MASTER", "P1"), KeyColumn("MASTER", "P2"),
                                KeyColumn("MASTER", "P3"), KeyColumn("MASTER", "P4")});
    RunEnvironment environment = Environment(Disk());
    std::size_t done = 0;
    environment.progress = [&done](std::size_t keys, std::size_t) { done = keys; };
    environment.stopRequested = [&done] { return done == 2; };
    const RunReport report = RunProcessing(*sheet, NoSelection(), environment);
    EXPECT_EQ(SummaryLine(report, false),
              "2 keys processed: 2 programs written, 0 keys with problems, stopped after 2 of 4 "
              "keys");
    EXPECT_FALSE(fs::exists(destination.File("P3")));
}

// Clearing away what killed runs left changes the user's folder, so the
// summary says so; a run that found nothing says nothing.
TEST_F(RunTextTest, TheSummarySaysHowManyTemporariesOfKilledRunsWereRemoved) {
    for (const char* name : {".P1.Ab3xYz.bwtmp", ".P2.a1b2c3.old.bwtmp"}) {
        const fs::path left = testing::Utf8Path(destination.Write(name, "left"));
        fs::last_write_time(left, fs::file_time_type::clock::now() - std::chrono::hours(48));
    }
    const auto sheet = SheetOf({KeyColumn("MASTER", "P1")});
    EXPECT_EQ(SummaryLine(Run(*sheet), false),
              "1 key processed: 1 program written, 0 keys with problems; 2 temporary files left "
              "by interrupted runs removed");
    EXPECT_EQ(SummaryLine(Run(*sheet), false),
              "1 key processed: 1 program written, 0 keys with problems");
}

// A quote cannot be in a Windows file name, but it can name a template that
// is then not found.
TEST_F(RunTextTest, CsvStartsWithAByteOrderMarkQuotesWhatNeedsItAndKeepsWhatIsShown) {
    const auto sheet = SheetOf({KeyColumn("MASTER", "A,B"), KeyColumn("Q\"T", "P2")});
    const RunReport report = Run(*sheet);
    const std::string header =
        "\xEF\xBB\xBF"
        "column,program,status,meaning,program file,index,from earlier keys,problems\r\n";
    const std::string problemRow =
        "B,P2,GNF,\"template file not found, no program written\",\"not written: template " +
        templates.File("Q\"\"T") + " not found\",no index (flat mode),,\r\n";
    EXPECT_EQ(ReportCsv(report), header + "A,\"A,B\",ok,,\"wrote " + destination.File("A,B") +
                                     "\",no index (flat mode),,\r\n" + problemRow);
    EXPECT_EQ(ReportCsv(report, /*problemsOnly=*/true), header + problemRow);
}

TEST_F(RunTextTest, PreviewIsWhatProcessThenWritesAlsoAfterOtherKeys) {
    // Key 3 sets no L of its own: the run's one record carries key 2's.
    const auto sheet =
        SheetOf({KeyColumn("MASTER", "P1", {"L=1"}), KeyColumn("MASTER", "P2", {"L=7"}),
                 KeyColumn("MASTER", "P3"), KeyColumn("MASTER", "P4", {"L=2"})});
    const testing::BlockSelection columnsTwoToFour(2, 1, 4, 1);
    for (const int column : {2, 3, 4}) {
        const ProgramPreview preview =
            PreviewProgram(*sheet, columnsTwoToFour, Environment(Disk()), column);
        ASSERT_TRUE(preview.program) << column;
        EXPECT_FALSE(preview.existing);
        EXPECT_EQ(preview.key.column, column);
        const std::string name = "P" + std::to_string(column);
        EXPECT_FALSE(fs::exists(destination.File(name))) << "a preview writes nothing";
        (void)RunProcessing(*sheet, columnsTwoToFour, Environment(Disk()));
        EXPECT_EQ(*preview.program, testing::ReadBytes(destination.File(name))) << column;
        // Now the same file is there.
        const ProgramPreview again =
            PreviewProgram(*sheet, columnsTwoToFour, Environment(Disk()), column);
        ASSERT_TRUE(again.existing);
        EXPECT_TRUE(DifferingLines(*again.existing, *again.program).empty());
        for (const char* written : {"P2", "P3", "P4"})
            fs::remove(destination.File(written));
    }
    testing::WriteBytes(destination.File("P3"), "old\nsame\n");
    const ProgramPreview changed = PreviewProgram(*sheet, NoSelection(), Environment(Disk()), 3);
    EXPECT_EQ(changed.existing, "old\nsame\n");
    EXPECT_EQ(testing::ReadBytes(destination.File("P3")), "old\nsame\n");
}

TEST(DifferingLinesTest, ComparesLineByLineCountingLinesOnlyOneTextHas) {
    EXPECT_EQ(DifferingLines("a\nb\nc\n", "a\nb\nc\n"), std::vector<int>{});
    EXPECT_EQ(DifferingLines("a\nb\nc\n", "a\nX\nc\n"), std::vector<int>{2});
    EXPECT_EQ(DifferingLines("a\nb\n", "a\nb\nc\nd"), (std::vector<int>{3, 4}));
    EXPECT_EQ(DifferingLines("a\r\n", "a\n"), std::vector<int>{1});
    EXPECT_EQ(DifferingLines("", "a"), std::vector<int>{1});
}

TEST_F(RunTextTest, TreePreviewShowsTheIndexEntryTheRunEnters) {
    fs::create_directories(templates.Path() / "SRG" / "M");
    testing::WriteBytes(templates.Path() / "SRG" / "M" / "ASTER", testing::kExampleTemplate);
    testing::WriteBytes(templates.File("INDICE.Prg"), testing::RawIndexRecord("MASTER", 'A'));
    fs::create_directories(destination.Path() / "SRG" / "E");
    fs::create_directories(destination.Path() / "SRG" / "F");
    const auto sheet =
        SheetOf({KeyColumn("MASTER", "EY1", {"L=1.25"}), KeyColumn("MASTER", "FX2", {"L=3"})});
    const ProgramPreview preview =
        PreviewProgram(*sheet, NoSelection(), Environment(Disk(), false), 2);
    ASSERT_TRUE(preview.program);
    ASSERT_TRUE(preview.indexEntry);
    EXPECT_FALSE(fs::exists(destination.File("INDICE.Prg")));
    (void)RunProcessing(*sheet, NoSelection(), Environment(Disk(), false));
    EXPECT_EQ(*preview.program, testing::ReadBytes(destination.Path() / "SRG" / "F" / "X2"));
    const std::string index = testing::ReadBytes(destination.File("INDICE.Prg"));
    ASSERT_EQ(index.size(), 2 * kIndexRecordSize);
    EXPECT_EQ(preview.indexEntry->Bytes(), index.substr(kIndexRecordSize));
}

}  // namespace
}  // namespace bladeway
