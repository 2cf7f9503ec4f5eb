// Index records byte by byte, the index step on real files in a template
// and a destination folder, and entering many entries at once, which gives the
// bytes of entering them one by one whatever the index holds.
#include "core/gcode/index_program.h"

#include <filesystem>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "core/gcode/index_batch.h"
#include "core/gcode/index_entry_changes.h"
#include "core/gcode/index_merge.h"
#include "core/gcode/index_record.h"
#include "core/storage/claim_record.h"
#include "support/index_bytes.h"
#include "support/single_key_index_step.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::RawIndexRecord;
using testing::ReadBytes;
using testing::WithBytes;
namespace fs = std::filesystem;

TEST(IndexRecord, FieldsLieAtTheirOffsetsLittleEndian) {
    std::string bytes = WithBytes(RawIndexRecord("ABC"), 13, "DESCRIPTION TEXT OF KEY 1");
    bytes = WithBytes(WithBytes(bytes, 38, "12/31/01"), 54, testing::kFloat1_25);
    bytes = WithBytes(WithBytes(bytes, 58, testing::kFloat31_5), 62, testing::kFloatMinus0_5);
    IndexRecord record = IndexRecord::FromBytes(bytes);
    EXPECT_EQ(record.Name(), "ABC         ");
    EXPECT_EQ(record.Description(), "DESCRIPTION TEXT OF KEY 1");
    EXPECT_EQ(record.Date(), "12/31/01");
    EXPECT_EQ(record.X(), 1.25F);
    EXPECT_EQ(record.Y(), 31.5F);
    EXPECT_EQ(record.Z(), -0.5F);
    EXPECT_EQ(record.Bytes(), bytes);
    // Setters write their field only, cut to its width or padded with spaces.
    record.SetName("ABCDEFGHIJKLMNOP");
    record.SetDescription("SHORT");
    record.SetDate("1/2/2003x");
    record.SetX(8.25F);
    record.SetY(2.0F);
    record.SetZ(1.25F);
    bytes = WithBytes(WithBytes(bytes, 0, "ABCDEFGHIJKL"), 13, "SHORT                    ");
    bytes = WithBytes(WithBytes(bytes, 38, "1/2/2003"), 54, testing::kFloat8_25);
    bytes = WithBytes(WithBytes(bytes, 58, testing::kFloat2), 62, testing::kFloat1_25);
    EXPECT_EQ(record.Bytes(), bytes);
}

TEST(IndexRecord, NameKeysAndLookUp) {
    EXPECT_EQ(IndexNameKey("ab"), "AB          ");
    EXPECT_EQ(IndexNameKey("\xe9x"), "\xe9X          ");  // only a to z change
    EXPECT_LT(IndexNameKey("AB"), IndexNameKey("ABC"));
    EXPECT_LT(IndexNameKey("Z"), IndexNameKey("\xc0"));  // ordinal: bytes above 127 last
    const std::string index =
        RawIndexRecord("AAA") + RawIndexRecord("dz120", 'b') + RawIndexRecord("DZ120", 'c');
    const auto found = FindIndexRecord(index, "DZ120       ");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->Bytes(), RawIndexRecord("dz120", 'b'));
    EXPECT_FALSE(FindIndexRecord(index, "DZ12").has_value());
    EXPECT_TRUE(FindIndexRecord(index, "AAA         XYZ").has_value());  // twelve characters
}

TEST(EnterIndexRecord, InsertsInNameOrderOrReplacesTheFirstOfTheName) {
    const auto r = [](std::string_view name, char fill = 'a') {
        return RawIndexRecord(name, fill);
    };
    const std::string entryB = r("BBB", 'x');
    struct Row {
        std::string index, entry, expected;
    };
    // A shorter name sorts first, a space before printables, small letters as
    // capitals. In an unsorted index the pass stops at the first record
    // sorting after the name, and replaces only the first record of the name.
    // clang-format off
    const std::vector<Row> rows{
        {"", entryB, entryB}, {r("AAA") + r("CCC") + r("EEE"), entryB, r("AAA") + entryB + r("CCC") + r("EEE")},
        {r("CCC") + r("EEE"), entryB, entryB + r("CCC") + r("EEE")},
        {r("AAA") + r("CCC"), r("DDD", 'x'), r("AAA") + r("CCC") + r("DDD", 'x')},
        {r("AAA") + r("p1001", 'c') + r("ZZZ"), r("P1001", 'x'), r("AAA") + r("P1001", 'x') + r("ZZZ")},
        {r("ABC"), r("AB", 'x'), r("AB", 'x') + r("ABC")}, {r("ABC"), r("A B", 'x'), r("A B", 'x') + r("ABC")},
        {r("ccc"), entryB, entryB + r("ccc")}, {r("ccc"), r("DDD", 'x'), r("ccc") + r("DDD", 'x')},
        {r("DDD") + r("BBB", 'c'), entryB, entryB + r("DDD") + r("BBB", 'c')},
        {r("BBB", 'c') + r("BBB", 'c'), entryB, entryB + r("BBB", 'c')}};
    // clang-format on
    for (const Row& row : rows) {
        EXPECT_EQ(EnterIndexRecord(row.index, IndexRecord::FromBytes(row.entry)), row.expected)
            << row.index.size() / kIndexRecordSize << " records, " << row.entry.substr(0, 12);
    }
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

class IndexProgramTest : public ::testing::Test {
  protected:
    // The template folder's index lists only the template DZ120.
    IndexProgramTest() { testing::WriteBytes(TemplateIndex(), TemplateEntry()); }
    testing::IndexResult Update(KeyRecord& record) {
        const IndexSettings settings{
            templatesPath_, destinationPath_, "07/04/24",
            [this](std::string_view message) { messages_.emplace_back(message); }};
        return testing::UpdateIndexProgram(record, settings, Disk());
    }
    std::string TemplateIndex() const { return templates_.File("INDICE.Prg"); }
    std::string DestinationIndex() const { return destination_.File("INDICE.Prg"); }
    static KeyRecord Key(std::string_view templateName, std::string_view programName) {
        KeyRecord record;
        record.TemplateName = templateName;
        record.ProgramName = programName;
        return record;
    }
    static std::string TemplateEntry() { return RawIndexRecord("DZ120", 'A'); }

    testing::TempFolder templates_;
    testing::TempFolder destination_;
    const std::string templatesPath_ = templates_.Path().string();
    const std::string destinationPath_ = destination_.Path().string();
    std::vector<std::string> messages_;
};

TEST_F(IndexProgramTest, NewIndexGetsTheTemplatesEntryWithTheKeysFields) {
    testing::WriteBytes(TemplateIndex(), RawIndexRecord("AAA") + TemplateEntry());
    KeyRecord record = Key("dz120", "p1001");  // found in any case, written upper-case
    record.Description = "KEY [A1] \xe9";      // taken as held
    record.L = "31.5";
    record.H = "8.25";
    const testing::IndexResult result = Update(record);
    EXPECT_TRUE(result.errors.empty());
    EXPECT_EQ(result.indexPath, DestinationIndex());
    std::string expected = WithBytes(TemplateEntry(), 0, "P1001       ");
    expected = WithBytes(WithBytes(expected, 13, "KEY [A1] \xe9               "), 38, "07/04/24");
    expected = WithBytes(WithBytes(expected, 54, testing::kFloat31_5), 58, testing::kFloat8_25);
    EXPECT_EQ(ReadBytes(DestinationIndex()), expected);  // Z as the template had it
    EXPECT_TRUE(IsBlank(record.Status));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(IndexProgramTest, AnyStatusLeftByAnEarlierKeyStopsTheUpdate) {
    for (const std::string_view status : {"GNF", "INF", "IFL", "X", "   "}) {
        KeyRecord record = Key("DZ120", "P1");
        record.Status = status;
        Update(record);
        EXPECT_EQ(fs::exists(DestinationIndex()), status == "   ") << status;
        EXPECT_EQ(record.Status.View().substr(0, status.size()), status);
    }
}

TEST_F(IndexProgramTest, FileProblemsAreReportedWithoutStatusAndKeepTheOldIndex) {
    KeyRecord record = Key("DZ120", "P1");
    const std::string gone = templates_.File("gone");
    for (const auto& [settings, named] : std::vector<std::pair<IndexSettings, std::string>>{
             {{gone, templatesPath_, "07/04/24", {}}, "INDICE.Prg"},
             {{templatesPath_, gone, "07/04/24", {}}, "gone"}}) {
        const testing::IndexResult result = testing::UpdateIndexProgram(record, settings, Disk());
        ASSERT_EQ(result.errors.size(), 1U);
        EXPECT_NE(result.errors[0].find(named), std::string::npos) << result.errors[0];
        EXPECT_TRUE(result.indexPath.empty());
    }
    EXPECT_FALSE(fs::exists(gone));
    // A template index that is a folder.
    fs::remove(TemplateIndex());
    fs::create_directory(TemplateIndex());
    EXPECT_EQ(Update(record).errors.size(), 1U);
    EXPECT_TRUE(IsBlank(record.Status));
}

// Few names, so that they repeat, sort before and after one another, and
// meet again in another case or with trailing blanks.
std::string RandomRecord(std::mt19937& random) {
    static constexpr const char* kNames[] = {"A", "a", "AB", "ab ", "B",  "C", "CA",
                                             " ", "",  "P1", "P10", "P2", "Z", "LONGERTHAN12CH",
                                             "Zz"};
    std::uniform_int_distribution<std::size_t> name(0, std::size(kNames) - 1);
    std::uniform_int_distribution<int> fill('a', 'z');
    return RawIndexRecord(kNames[name(random)], static_cast<char>(fill(random)));
}

std::string RandomIndex(std::mt19937& random, int maxRecords) {
    std::string index;
    const int count = std::uniform_int_distribution<int>(0, maxRecords)(random);
    for (int n = 0; n < count; ++n)
        index += RandomRecord(random);
    return index;
}

// Every step of a merge gives the bytes of entering record by record. Taking
// the changes back, by entry, gives the index as it was; taking the taking-back
// back gives the entered index again.
TEST(IndexMergeTest, EveryStepEqualsEnteringRecordByRecordAndUndoGivesTheIndexAsItWas) {
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        const std::string before = RandomIndex(random, 30);
        std::string expected = before;
        IndexMerge merge(before);
        std::vector<std::string> keys;
        const int entries = std::uniform_int_distribution<int>(0, 40)(random);
        for (int n = 0; n < entries; ++n) {
            const IndexRecord entry = IndexRecord::FromBytes(RandomRecord(random));
            expected = EnterIndexRecord(expected, entry);
            merge.Enter(entry);
            keys.push_back(IndexNameKey(entry.Name()));
            ASSERT_EQ(merge.Bytes(), expected) << "entry " << n;
        }
        EXPECT_EQ(merge.EnteredCount(), static_cast<std::size_t>(entries));
        const auto changes = EntryChanges(before, expected, keys);
        const IndexUndo undo = UndoEntryChanges(expected, changes);
        ASSERT_EQ(undo.bytes, before);
        EXPECT_EQ(undo.applied.size(), changes.size());
        EXPECT_TRUE(undo.conflicts.empty());
        EXPECT_EQ(UndoEntryChanges(undo.bytes, undo.applied).bytes, expected);
    }
}

// Each write of a batch is the index as record-by-record entering leaves it
// after the same keys; every key learns where its entry went.
TEST(IndexBatchTest, WritesMatchRecordByRecordAtEveryBatchSize) {
    for (const std::size_t batchSize : {std::size_t{1}, std::size_t{3}, std::size_t{1000}}) {
        SCOPED_TRACE(batchSize);
        std::mt19937 random(static_cast<unsigned>(batchSize));
        testing::TempFolder folder;
        const std::string path = folder.Write("INDICE.Prg", RandomIndex(random, 50));
        std::string expected = testing::ReadBytes(path);
        IndexBatch batch(Disk(), batchSize);
        std::vector<IndexWriteOutcome> outcomes;
        for (std::size_t key = 0; key < 20; ++key) {
            const IndexRecord entry = IndexRecord::FromBytes(RandomRecord(random));
            expected = EnterIndexRecord(expected, entry);
            std::vector<std::string> errors;
            batch.Enter(path, entry, key, errors);
            EXPECT_TRUE(errors.empty());
            EXPECT_EQ(batch.IsFull(), (key + 1) % batchSize == 0);
            const auto written = batch.IsFull() ? batch.Write() : std::vector<IndexWriteOutcome>{};
            EXPECT_EQ(batch.IsPending(path), (key + 1) % batchSize != 0);
            if (!written.empty()) {
                EXPECT_EQ(testing::ReadBytes(path), expected) << "after key " << key;
            }
            outcomes.insert(outcomes.end(), written.begin(), written.end());
        }
        const auto last = batch.Write();
        outcomes.insert(outcomes.end(), last.begin(), last.end());
        EXPECT_EQ(testing::ReadBytes(path), expected);
        ASSERT_EQ(outcomes.size(), 20U);
        for (std::size_t key = 0; key < outcomes.size(); ++key) {
            EXPECT_EQ(outcomes[key].key, key);
            EXPECT_EQ(outcomes[key].indexPath, path);
            EXPECT_EQ(outcomes[key].error, "");
        }
    }
}

// What others wrote since stays: their new entries, and an entry they
// replaced, which is a conflict and keeps their record.
TEST(IndexUndoTest, EntriesOthersWroteSinceStay) {
    const std::string before = RawIndexRecord("A") + RawIndexRecord("C") + RawIndexRecord("E");
    IndexMerge run(before);
    for (const char* name : {"B", "C", "D"})
        run.Enter(IndexRecord::FromBytes(RawIndexRecord(name, 'k')));
    const std::string keys[] = {IndexNameKey("B"), IndexNameKey("C"), IndexNameKey("D")};
    const auto changes = EntryChanges(before, run.Bytes(), keys);
    IndexMerge others(run.Bytes());
    for (const char* name : {"BB", "D", "F"})
        others.Enter(IndexRecord::FromBytes(RawIndexRecord(name, 'p')));
    const IndexUndo undo = UndoEntryChanges(others.Bytes(), changes);
    EXPECT_EQ(undo.bytes, RawIndexRecord("A") + RawIndexRecord("BB", 'p') + RawIndexRecord("C") +
                              RawIndexRecord("D", 'p') + RawIndexRecord("E") +
                              RawIndexRecord("F", 'p'));
    EXPECT_EQ(undo.conflicts, std::vector<std::string>{IndexNameKey("D")});
    EXPECT_EQ(undo.applied.size(), 2U);
}

// Each write reads the index again under its claim: entries another program
// entered since the batch began stay. While another holds the claim the
// batch waits, says for whom, and gives its keys up at the limit.
TEST(IndexBatchTest, AWriteKeepsOtherWritersEntriesAndWaitsForTheirClaim) {
    testing::TempFolder folder;
    const std::string path = folder.Write("INDICE.Prg", RawIndexRecord("A"));
    std::vector<WriterWait> waits;
    LockWait wait;
    wait.limit = std::chrono::milliseconds(100);
    wait.waiting = [&waits](const WriterWait& waiting) { waits.push_back(waiting); };
    IndexBatch batch(Disk(), kIndexBatchSize, IndexWriteGuard{wait, nullptr});
    std::vector<std::string> errors;
    batch.Enter(path, IndexRecord::FromBytes(RawIndexRecord("C")), 0, errors);
    testing::WriteBytes(path, RawIndexRecord("A") + RawIndexRecord("B", 'p'));

    auto other = WaitForWriterLock(path, LockWait{});
    ASSERT_TRUE(other && other.value().Held());
    const auto holder = ParseClaimRecord(ReadBytes(testing::Utf8Path(ClaimFilePath(path))));
    ASSERT_TRUE(holder);
    const std::string whose = " (" + HolderText(*holder) + ")";
    const auto refused = batch.Write();
    ASSERT_EQ(refused.size(), 1U);
    EXPECT_EQ(refused[0].error,
              "gave up waiting for another program writing '" + path + "' after 0.1 s" + whose);
    ASSERT_EQ(waits.size(), 2U);
    EXPECT_EQ(waits[0].path, path);
    EXPECT_EQ(waits[0].holder, HolderText(*holder));
    EXPECT_EQ(waits[1].path, "");
    LockWait stopping;
    stopping.stopRequested = [] { return true; };
    EXPECT_EQ(WaitForWriterLock(path, stopping).error(),
              "stopped while waiting for another program writing '" + path + "'" + whose);
    other.value().Release();

    batch.Enter(path, IndexRecord::FromBytes(RawIndexRecord("C")), 1, errors);
    const auto written = batch.Write();
    ASSERT_EQ(written.size(), 1U);
    EXPECT_EQ(written[0].error, "");
    EXPECT_EQ(testing::ReadBytes(path),
              RawIndexRecord("A") + RawIndexRecord("B", 'p') + RawIndexRecord("C"));
    EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace bladeway
