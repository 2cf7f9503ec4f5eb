// Entering many entries at once gives the bytes of entering them one by one,
// whatever the index holds: names out of order, repeated, differing in case.
#include "core/gcode/index_merge.h"

#include <random>

#include <gtest/gtest.h>

#include "core/gcode/index_batch.h"
#include "support/fault_file_system.h"
#include "support/index_bytes.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::RawIndexRecord;

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
    for (int n = 0; n < count; ++n) {
        index += RandomRecord(random);
    }
    return index;
}

TEST(IndexMergeTest, EveryStepEqualsEnteringRecordByRecord) {
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        std::string expected = RandomIndex(random, 30);
        IndexMerge merge(expected);
        const int entries = std::uniform_int_distribution<int>(0, 40)(random);
        for (int n = 0; n < entries; ++n) {
            const IndexRecord entry = IndexRecord::FromBytes(RandomRecord(random));
            expected = EnterIndexRecord(expected, entry);
            merge.Enter(entry);
            ASSERT_EQ(merge.Bytes(), expected) << "round " << round << ", entry " << n;
        }
        EXPECT_EQ(merge.EnteredCount(), static_cast<std::size_t>(entries));
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
            auto written = batch.Enter(path, entry, key, errors);
            EXPECT_TRUE(errors.empty());
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

// A failing write reaches every key of its batch and leaves the file as it
// was; a bad index is left alone, an unreadable one reported to each key.
TEST(IndexBatchTest, FailingWritesAndBadIndexes) {
    testing::TempFolder folder;
    const std::string original = RawIndexRecord("B") + RawIndexRecord("D");
    const std::string path = folder.Write("INDICE.Prg", original);
    const std::string bad = folder.Write("BAD.Prg", original + "x");
    const std::string unreadable = folder.Write("LOCKED.Prg", original);
    testing::FaultFileSystem fileSystem;
    fileSystem.FailWrites(path);
    fileSystem.FailReads(unreadable);
    IndexBatch batch(fileSystem);
    std::vector<std::string> errors;
    for (std::size_t key = 0; key < 2; ++key) {
        batch.Enter(path, IndexRecord::FromBytes(RawIndexRecord("C")), key, errors);
        batch.Enter(bad, IndexRecord::FromBytes(RawIndexRecord("C")), key, errors);
        batch.Enter(unreadable, IndexRecord::FromBytes(RawIndexRecord("C")), key, errors);
    }
    EXPECT_EQ(errors.size(), 2U);
    EXPECT_FALSE(batch.IsPending(bad));
    const auto outcomes = batch.Write();
    ASSERT_EQ(outcomes.size(), 2U);
    for (const IndexWriteOutcome& outcome : outcomes) {
        EXPECT_EQ(outcome.indexPath, "");
        EXPECT_NE(outcome.error, "");
    }
    EXPECT_EQ(testing::ReadBytes(path), original);
    EXPECT_EQ(testing::ReadBytes(bad), original + "x");
}

}  // namespace
}  // namespace bladeway
