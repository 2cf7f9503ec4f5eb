// The run's wording shared by the command-line tool and the desktop report,
// and the preview: what Process would write for one key, writing nothing.
#include <algorithm>
#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "core/keydata/key_data_file.h"
#include "core/run/line_comparison.h"
#include "core/run/program_preview.h"
#include "core/run/run_report_text.h"
#include "run_folders.h"
#include "support/case_table.h"
#include "support/fault_file_system.h"
#include "support/index_bytes.h"
#include "support/sheet_builder.h"
#include "support/temp_folder.h"
#include "support/worked_example.h"

namespace bladeway {
namespace {

namespace fs = std::filesystem;
using testing::KeyColumn;
using testing::SheetOf;
using Strings = std::vector<std::string>;

class RunTextTest : public testing::RunFolders {
  protected:
    RunReport Run(const Sheet& sheet, FileSystem& fileSystem = Disk(), bool flat = true) {
        return RunFolders::Run(sheet, flat, NoSelection(), fileSystem);
    }
};

TEST_F(RunTextTest, EachKindOfProblemReadsAsTheCommandLineToolSaysIt) {
    testing::FaultFileSystem faults;
    faults.FailWrites(destination_.File("FULL"));
    struct Case {
        Strings column;
        std::string status, outcome, problems;
    };
    // One run each: a problem code stays in the run's record for later keys.
    const std::vector<Case> cases{
        {KeyColumn("MASTER", "GOOD"), "ok", "wrote " + destination_.File("GOOD"), ""},
        {KeyColumn("GONE", "MISSING"), "GNF",
         "not written: template " + templates_.File("GONE") + " not found", ""},
        {KeyColumn("", ""), "GNF", "not written: no template name", ""},
        {KeyColumn("MASTER", "FULL"), "-", "not written",
         "cannot write '" + destination_.File("FULL") + "': No space left on device"}};
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

// A cause every key meets alike is said once, not on every row, and the
// index cell says what it did.
TEST_F(RunTextTest, ACauseEveryKeySharesIsSaidOnce) {
    const auto sheet = SheetOf({KeyColumn("MASTER", "P1"), KeyColumn("MASTER", "P2")});
    EXPECT_EQ(SharedProblems(Run(*sheet)).Text(), "");
    const std::string folder = destination_.File("gone");
    preferences_.destinationFolder = folder;
    EXPECT_EQ(
        SharedProblems(Run(*sheet)).Text(),
        "the destination folder '" + folder + "' does not exist: no program could be written");
    preferences_.templateFolder = templates_.File("gone");
    preferences_.destinationFolder = destination_.Path().string();
    EXPECT_EQ(SharedProblems(Run(*sheet)).Text(),
              "the template folder '" + templates_.File("gone") +
                  "' does not exist: no template could be read");
    // One key alone is shown as it is.
    EXPECT_EQ(SharedProblems(Run(*SheetOf({KeyColumn("MASTER", "P1")}))).Text(), "");
    preferences_.templateFolder = templates_.Path().string();

    // Tree mode, a full disk: the index every key failed to write is named
    // once, the programs' failures, alike but for each key's file, once for
    // their folder (not the one name that begins the other); a key's own
    // problem stays on its row.
    TreeTemplates(testing::RawIndexRecord("MASTER", 'A') + testing::RawIndexRecord("MASTER2", 'B'));
    const fs::path tree = templates_.Path() / "SRG" / "M";
    testing::WriteBytes(tree / "ASTER2", testing::kExampleTemplate);
    const std::string programs = (destination_.Path() / "SRG" / "P").string();
    const std::string index = destination_.File("INDICE.Prg");
    const auto program = [&](const char* name) { return (fs::path(programs) / name).string(); };
    const auto full = [](const std::string& path) {
        return "cannot write '" + path + "': No space left on device";
    };
    testing::FaultFileSystem faults;
    for (const std::string& path : {index, program("1"), program("12")})
        faults.FailWrites(path);
    faults.FailReads((tree / "ASTER2").string());
    RunReport report =
        Run(*SheetOf({KeyColumn("MASTER", "P1"), KeyColumn("MASTER", "P12")}), faults, false);
    const SharedProblems every(report);
    EXPECT_EQ(every.Text(), full(index) + "; cannot write each key's file in '" + programs +
                                "': No space left on device");
    EXPECT_EQ(every.IndexText(report.keys[0]), "not entered: index unchanged, see above");
    EXPECT_EQ(every.OwnProblemsText(report.keys[1]), "");
    report = Run(*SheetOf({KeyColumn("MASTER", "P1"), KeyColumn("MASTER2", "P2")}), faults, false);
    const SharedProblems partly(report);
    EXPECT_EQ(partly.Text(), full(index));
    EXPECT_EQ(partly.OwnProblemsText(report.keys[0]), full(program("1")));
    EXPECT_EQ(partly.OwnProblemsText(report.keys[1]),
              "cannot read '" + (tree / "ASTER2").string() + "': I/O error");
    // A single key names the index problem in its index cell, once per line.
    report = Run(*SheetOf({KeyColumn("MASTER", "P1")}), faults, false);
    EXPECT_EQ(SharedProblems(report).IndexText(report.keys[0]), "not entered: " + full(index));
    EXPECT_EQ(KeyLine(report.keys[0], false),
              "column A  P1  not written  index: " + IndexOutcomeText(report.keys[0], false) +
                  "  status -  error: " + full(program("1")));

    // A damaged destination index: the line names it, the cells what it did.
    testing::WriteBytes(index, "short");
    report = Run(*SheetOf({KeyColumn("MASTER", "P3"), KeyColumn("MASTER", "P4")}), faults, false);
    const SharedProblems damaged(report);
    EXPECT_EQ(damaged.Text(), IndexOutcomeText(report.keys[0], false));
    EXPECT_EQ(damaged.IndexText(report.keys[1]), "not entered: damaged index unchanged, see above");
}

TEST_F(RunTextTest, AStoppedRunSaysHowFarItCameInGroupedCounts) {
    testing::ExpectEach<std::size_t, std::string>(
        GroupedCount, {{0, "0"}, {999, "999"}, {1000, "1,000"}, {1234567, "1,234,567"}});
    // Every count of the summary is grouped alike.
    RunReport large;
    large.keys.resize(2000);
    large.plannedKeys = 3000;
    large.columnCount = 3000;
    large.stopped = true;
    EXPECT_EQ(SummaryLine(large, false),
              "2,000 keys processed: 0 programs written, 0 keys with problems, stopped after "
              "2,000 of 3,000 keys");
    EXPECT_EQ(ProcessedKeysLine(large), "all 3,000 keys: no block selected");
}

// Clearing away what killed runs left changes the user's folder, so the
// summary says so; a run that found nothing says nothing.
TEST_F(RunTextTest, TheSummarySaysHowManyTemporariesOfKilledRunsWereRemoved) {
    for (const char* name : {".P1.Ab3xYz.bwtmp", ".P2.a1b2c3.old.bwtmp"}) {
        const fs::path left = testing::Utf8Path(destination_.Write(name, "left"));
        fs::last_write_time(left, fs::file_time_type::clock::now() - std::chrono::hours(48));
    }
    const auto sheet = SheetOf({KeyColumn("MASTER", "P1")});
    EXPECT_EQ(SummaryLine(Run(*sheet), false),
              "1 key processed: 1 program written, 0 keys with problems; 2 temporary files left "
              "by interrupted runs removed");
    EXPECT_EQ(SummaryLine(Run(*sheet), false),
              "1 key processed: 1 program written, 0 keys with problems");
    // A key data file cut off: the keys it lost are said after the counts.
    Sheet cut;
    cut.Load(
        ParseKeyData(std::make_shared<const std::string>("K1\r\n\r\nMASTER\r\nP1\r\n!\r\nK2\r\n")));
    EXPECT_EQ(SummaryLine(Run(cut), false),
              "1 key processed: 1 program written, 0 keys with problems; the key data file is "
              "damaged: the file ends inside key 2 (1 line after its last \"!\"): that key and "
              "any after it are missing, the file may be cut off");
}

// Other writers met on the way reach the summary: each takeover, and each
// index's waits in all once they come to a second, with whom they were for.
TEST(RunWritersTextTest, TakeoversAlwaysWaitsOfASecondOrMoreInAllPerIndex) {
    using std::chrono::milliseconds;
    const ClaimTakeover takeover{"/srv/b/INDICE.Prg", "ST2", 7, std::chrono::seconds(41),
                                 StaleClaim::kNotRenewed};
    const std::vector<IndexWriteWait> waits{
        {"/srv/a/INDICE.Prg", {milliseconds(600), "bladeway 2.2.0 on ST1, process 5", {}}},
        {"/srv/b/INDICE.Prg", {milliseconds(300), "", takeover}},
        {"/srv/a/INDICE.Prg", {milliseconds(500), "bladeway 2.2.0 on ST3, process 9", {}}},
        {"/srv/c/INDICE.Prg", {milliseconds(900), "", {}}},
    };
    EXPECT_EQ(WriterWaitsText(waits),
              "; took over the claim of ST2, process 7, idle for 41 s, to write "
              "'/srv/b/INDICE.Prg'; waited 1 s for another program writing '/srv/a/INDICE.Prg' "
              "(bladeway 2.2.0 on ST3, process 9)");
    EXPECT_EQ(WriterWaitsText({}), "");
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
        templates_.File("Q\"\"T") + " not found\",no index (flat mode),,\r\n";
    EXPECT_EQ(ReportCsv(report), header + "A,\"A,B\",ok,,\"wrote " + destination_.File("A,B") +
                                     "\",no index (flat mode),,\r\n" + problemRow);
    EXPECT_EQ(ReportCsv(report, /*problemsOnly=*/true), header + problemRow);
    // Another list separator: a comma needs no quotes then, the separator does.
    EXPECT_TRUE(ReportCsv(report, false, ';')
                    .starts_with("\xEF\xBB\xBF"
                                 "column;program;status;meaning;program file;index;from earlier "
                                 "keys;problems\r\nA;A,B;ok;;"));
    EXPECT_NE(
        ReportCsv(report, true, ' ').find(" \"template file not found, no program written\" "),
        std::string::npos);
}

TEST_F(RunTextTest, PreviewIsWhatProcessThenWritesAlsoAfterOtherKeys) {
    // Key 3 sets no L of its own: the run's one record carries key 2's.
    const auto sheet =
        SheetOf({KeyColumn("MASTER", "P1", {"L=1"}), KeyColumn("MASTER", "P2", {"L=7"}),
                 KeyColumn("MASTER", "P3"), KeyColumn("MASTER", "P4", {"L=2"})});
    const testing::BlockSelection columnsTwoToFour(2, 1, 4, 1);
    std::vector<ProgramPreview> previews;
    for (const int column : {2, 3, 4}) {
        previews.push_back(PreviewProgram(*sheet, columnsTwoToFour, Environment(), column));
        ASSERT_TRUE(previews.back().program) << column;
        EXPECT_FALSE(previews.back().existing);
        EXPECT_EQ(previews.back().key.column, column);
    }
    EXPECT_TRUE(fs::is_empty(destination_.Path())) << "a preview writes nothing";
    (void)RunProcessing(*sheet, columnsTwoToFour, Environment());
    for (const ProgramPreview& preview : previews) {
        const int column = preview.key.column;
        EXPECT_EQ(*preview.program,
                  testing::ReadBytes(destination_.File("P" + std::to_string(column))));
        // Now the same file is there.
        EXPECT_EQ(
            ComparisonSummary(PreviewProgram(*sheet, columnsTwoToFour, Environment(), column)),
            "The file in the destination is the same: unchanged.");
    }
    testing::WriteBytes(destination_.File("P3"), "old\nsame\n");
    const ProgramPreview changed = PreviewProgram(*sheet, NoSelection(), Environment(), 3);
    EXPECT_EQ(changed.existing, "old\nsame\n");
    EXPECT_EQ(testing::ReadBytes(destination_.File("P3")), "old\nsame\n");
    ASSERT_TRUE(changed.comparison);
    EXPECT_EQ(ComparisonSummary(changed), "The file in the destination differs in 7 lines:");
    EXPECT_EQ(changed.comparison->rows.front().beforeText, "old");
    // Nothing to compare with: no file there, or no program to write.
    fs::remove(destination_.File("P3"));
    EXPECT_EQ(ComparisonSummary(PreviewProgram(*sheet, NoSelection(), Environment(), 3)),
              "No file of this name in the destination yet.");
    const auto gone = SheetOf({KeyColumn("GONE", "P1")});
    testing::WriteBytes(destination_.File("P1"), "old\n");
    const ProgramPreview nothing = PreviewProgram(*gone, NoSelection(), Environment(), 1);
    EXPECT_FALSE(nothing.comparison);
    EXPECT_EQ(ComparisonSummary(nothing), "");
}

// Each row as "number:text | number:text", "*" in front of a differing one
// and "-" for a side without a line.
Strings Rows(const LineComparison& comparison) {
    const auto number = [](std::size_t line) { return line == 0 ? "-" : std::to_string(line); };
    Strings rows;
    for (const ComparedLine& row : comparison.rows) {
        rows.push_back((row.differs ? "*" : " ") + number(row.beforeNumber) + ":" + row.beforeText +
                       " | " + number(row.afterNumber) + ":" + row.afterText);
    }
    return rows;
}

TEST(LineComparisonTest, PairsTheDifferingLinesWithALineOfContextAround) {
    struct Case {
        const char* what;
        std::string before, after;
        Strings rows;
    };
    // clang-format off
    const std::vector<Case> cases{
        {"the same", "a\r\nb\r\n", "a\r\nb\r\n", {}},
        {"both empty", "", "", {}},
        {"one line changed", "a\nb\nc\nd\n", "a\nX\nc\nd\n",
         {" 1:a | 1:a", "*2:b | 2:X", " 3:c | 3:c"}},
        {"lines appended", "a\nb\n", "a\nb\nc\nd", {" 2:b | 2:b", "*-: | 3:c", "*-: | 4:d"}},
        {"lines removed", "a\nb\nc\nd\n", "a\nd\n",
         {" 1:a | 1:a", "*2:b | -:", "*3:c | -:", " 4:d | 2:d"}},
        {"CR LF line ends", "G0 X1\r\nG1 Y2\r\nM30\r\n", "G0 X1\r\nG1 Y3\r\nM30\r\n",
         {" 1:G0 X1 | 1:G0 X1", "*2:G1 Y2 | 2:G1 Y3", " 3:M30 | 3:M30"}},
        {"only the line ends differ", "a\r\nb", "a\nb\n",
         {"*1:a [CR LF] | 1:a [LF]", "*2:b [no line end] | 2:b [LF]"}},
        {"an empty file on disk", "", "a\r\nb\r\n", {"*-: | 1:a", "*-: | 2:b"}},
        {"an empty program", "a\n", "", {"*1:a | -:"}},
        // A continuation line gained keeps the lines after it paired.
        {"lines paired around an added one", "L1\nL2\nR1\nR2\nEND\n", "L1'\nL2\nC\nR1\nR2'\nEND\n",
         {"*1:L1 | 1:L1'", " 2:L2 | 2:L2", "*-: | 3:C", " 3:R1 | 4:R1", "*4:R2 | 5:R2'",
          " 5:END | 6:END"}},
        {"a line far from any difference left out", "a\nb\nc\nd\ne\nf\n", "A\nb\nc\nd\nE\nf\n",
         {"*1:a | 1:A", " 2:b | 2:b", " 4:d | 4:d", "*5:e | 5:E", " 6:f | 6:f"}},
        {"Windows-1252 decoded", "\xb0\n", "\x80\n", {"*1:\u00b0 | 1:\u20ac"}}};
    // clang-format on
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        const LineComparison comparison = CompareLines(test.before, test.after);
        EXPECT_EQ(Rows(comparison), test.rows);
        const auto differs = [](const std::string& row) { return row.starts_with('*'); };
        EXPECT_EQ(comparison.differing,
                  static_cast<std::size_t>(std::ranges::count_if(test.rows, differs)));
        EXPECT_EQ(comparison.notShown, 0U);
    }
}

TEST(LineComparisonTest, ALongRunIsShownUpToTheLimitThenCounted) {
    std::string before = "same\n";
    std::string after = "same\n";
    for (int line = 1; line <= 25; ++line) {
        before += "old " + std::to_string(line) + "\n";
        after += "new " + std::to_string(line) + "\n";
    }
    before += "end\n";
    after += "end\n";
    const LineComparison cut = CompareLines(before, after, 20);
    EXPECT_EQ(cut.differing, 25U);
    EXPECT_EQ(cut.notShown, 5U);
    ASSERT_EQ(cut.rows.size(), 21U);  // the context before, no context after the cut
    EXPECT_EQ(Rows(cut).front(), " 1:same | 1:same");
    EXPECT_EQ(Rows(cut).back(), "*21:old 20 | 21:new 20");
    EXPECT_EQ(CompareLines(before, after, 25).rows.back().beforeText, "end");
    testing::ExpectEach<std::size_t, std::string>(MoreDifferingText,
                                                  {{5, "and 5 more differing lines"},
                                                   {1, "and 1 more differing line"},
                                                   {1234, "and 1,234 more differing lines"}});
}

// A destination file can be anything: a line without end, or thousands of
// lines that match nothing, must not stall the preview.
TEST(LineComparisonTest, HugeInputIsCutForShowingAndPairedInOrder) {
    const std::string longLine(100000, 'X');
    const LineComparison wide = CompareLines(longLine, "X\r\n");
    ASSERT_EQ(wide.rows.size(), 1U);
    EXPECT_EQ(wide.rows[0].beforeText, std::string(kShownLineBytes, 'X') + "\u2026");
    EXPECT_EQ(wide.rows[0].afterText, "X");
    std::string before, after;
    for (int line = 0; line < 5000; ++line) {
        before += "a" + std::to_string(line) + "\n";
        after += "b" + std::to_string(line) + "\n";
    }
    const LineComparison many = CompareLines(before, after);
    EXPECT_EQ(many.differing, 5000U);
    EXPECT_EQ(Rows(many)[1], "*2:a1 | 2:b1");
}

TEST_F(RunTextTest, TreePreviewShowsTheIndexEntryTheRunEnters) {
    TreeTemplates(testing::RawIndexRecord("MASTER", 'A') + testing::RawIndexRecord("MASTER2", 'B'));
    const auto sheet = SheetOf(
        {KeyColumn("MASTER", "KY1", {"L=1.25", "S=2"}), KeyColumn("MASTER", "PX2", {"L=3"})});
    const ProgramPreview preview = PreviewProgram(*sheet, NoSelection(), Environment(false), 2);
    ASSERT_TRUE(preview.program);
    ASSERT_TRUE(preview.indexEntry);
    // Where the entry would go, and the depth the key takes from key A.
    EXPECT_EQ(PreviewHeadingText(preview.key, true),
              "Column B: PX2, Process would write " +
                  (destination_.Path() / "SRG" / "P" / "X2").string() +
                  " (status ok)\nIndex: would be entered in '" + destination_.File("INDICE.Prg") +
                  "'\nValues: S from earlier keys");
    EXPECT_FALSE(fs::exists(destination_.File("INDICE.Prg")));
    (void)RunProcessing(*sheet, NoSelection(), Environment(false));
    EXPECT_EQ(*preview.program, testing::ReadBytes(destination_.Path() / "SRG" / "P" / "X2"));
    const std::string index = testing::ReadBytes(destination_.File("INDICE.Prg"));
    ASSERT_EQ(index.size(), 2 * kIndexRecordSize);
    EXPECT_EQ(preview.indexEntry->Bytes(), index.substr(kIndexRecordSize));
}

}  // namespace
}  // namespace bladeway
