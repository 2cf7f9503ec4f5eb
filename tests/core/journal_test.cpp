// The run journal's own rules: its manifest read back exactly or refused,
// and old journals trimmed to the limits.
#include <algorithm>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "core/gcode/index_record.h"
#include "core/journal/journal_folder.h"
#include "core/journal/journal_manifest.h"
#include "core/journal/run_journal.h"
#include "core/os/paths.h"
#include "core/text/content_hash.h"
#include "support/index_bytes.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::RawIndexRecord;

JournalManifest Manifest(std::string id, std::uint64_t keptBytes, bool complete = true) {
    JournalManifest manifest;
    manifest.id = std::move(id);
    manifest.started = "2026-12-08 06:36:44";
    manifest.run = {"run", "", "bladeway", "/srv/keys.dat", "tree", "/srv/millrun", 3};
    manifest.complete = complete;
    manifest.keptBytes = keptBytes;
    return manifest;
}

TEST(JournalManifestTest, IsReadBackExactlyOrRefused) {
    JournalManifest manifest = Manifest("20261208-053644-123", 42);
    // A Linux name that is not UTF-8 keeps its bytes.
    manifest.files = {{"/srv/millrun/SRG/P/1001", "1", "00ff"},
                      {"/srv/millrun/SRG/P/\xc9T\xc9", std::nullopt, "ab"},
                      {"/srv/millrun/SRG/P/1002", "2", std::nullopt}};
    manifest.indexes = {{"/srv/millrun/INDICE.Prg",
                         false,
                         {{IndexNameKey("P1"), std::nullopt, RawIndexRecord("P1")},
                          {IndexNameKey("P2"), RawIndexRecord("p2", 'k'), RawIndexRecord("P2")},
                          {IndexNameKey("\xc9T"), RawIndexRecord("\xc9T"), std::nullopt}}}};
    const std::string json = ManifestJson(manifest);
    const auto read = ParseManifest(json);
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(ManifestJson(read.value()), json);
    EXPECT_EQ(read.value().files[1].path, manifest.files[1].path);
    EXPECT_EQ(read.value().indexes[0].entries[2].key, manifest.indexes[0].entries[2].key);

    const auto refusal = [&json](std::string_view from, std::string_view to) {
        std::string changed = json;
        changed.replace(changed.find(from), from.size(), to);
        const auto parsed = ParseManifest(changed);
        return parsed ? std::string("read") : parsed.error();
    };
    const std::string refused = "not a journal manifest: ";
    EXPECT_EQ(refusal("\"format\": 1", "\"format\": 2"), refused + "format 2 is not known");
    EXPECT_EQ(refusal("\"keys\": 3", "\"keys\": -3"), refused + "\"keys\" is not a count");
    EXPECT_EQ(refusal("\"kept\": \"1\"", "\"kept\": 1"), refused + "\"kept\" is not a text");
    EXPECT_EQ(refusal("\"before\": null", "\"before\": \"00\""),
              refused + "\"before\" is not an index record");
    EXPECT_EQ(refusal("7032", "7033"),
              refused + "an index entry whose records have different names");
    EXPECT_EQ(refusal("{", "["), refused + "not a JSON object");
}

// The newest runs are kept while both limits hold, the run just made and a
// run still writing always; every older one goes.
// A file a batch saw that is gone when it is kept (another program removed
// it, or a share's client showed it for a while after) is kept as no file,
// as one the run creates; the batch goes on.
TEST(RunJournalTest, AFileGoneSinceItWasSeenIsKeptAsNoFile) {
    testing::TempFolder journals;
    testing::TempFolder dest;
    const std::string folder = testing::Utf8(journals.Path());
    RunJournal journal(JournalPlace{folder, 20, std::uint64_t{1} << 30},
                       RunDescription{"run", "", "bladeway", "keys.dat", "flat", "", 2});
    const std::vector<PlannedReplacement> planned{
        {dest.File("GONE"), ContentHash("new"), true, 42},
        {dest.Write("THERE", "old"), ContentHash("new"), true, 3}};
    ASSERT_TRUE(journal.KeepNow(planned));
    journal.Finish();
    const auto run = FindJournal(folder, journal.Id());
    ASSERT_TRUE(run && run.value().manifest);
    const JournalManifest& manifest = *run.value().manifest;
    ASSERT_EQ(manifest.files.size(), 2U);
    EXPECT_FALSE(manifest.files[0].kept);
    EXPECT_TRUE(manifest.files[1].kept);
    EXPECT_EQ(manifest.keptBytes, 3U);
}

// What is kept ahead of a batch (as each file is staged) is the batch's once
// it is prepared; a second name no batch takes, or one for a file the run
// kept before, goes, so that the run's folder holds only what its manifest
// lists.
TEST(RunJournalTest, SecondNamesMadeAheadAreTakenOrRemoved) {
    testing::TempFolder journals;
    testing::TempFolder dest;
    const std::string folder = testing::Utf8(journals.Path());
    const std::string program = dest.Write("P1", "old P1");
    const std::string other = dest.Write("P2", "old P2");
    RunJournal journal(JournalPlace{folder, 20, std::uint64_t{1} << 30},
                       RunDescription{"run", "", "bladeway", "keys.dat", "flat", "", 2});
    const auto first = journal.KeepEarly(program);
    const auto again = journal.KeepEarly(program);  // the same program twice in a batch
    const auto unused = journal.KeepEarly(other);   // staged, never committed
    ASSERT_TRUE(first && again && unused);
    const std::vector<PlannedReplacement> planned{{program, ContentHash("new"), true, 6, first},
                                                  {program, ContentHash("newer"), true, 6, again}};
    ASSERT_TRUE(journal.KeepNow(planned));
    journal.Finish();
    const auto run = FindJournal(folder, journal.Id());
    ASSERT_TRUE(run && run.value().manifest);
    const JournalManifest& manifest = *run.value().manifest;
    ASSERT_EQ(manifest.files.size(), 1U);
    EXPECT_EQ(manifest.files[0].kept, first);
    EXPECT_EQ(manifest.files[0].after, ContentHash("newer"));
    EXPECT_EQ(manifest.keptBytes, 6U);
    std::vector<std::string> kept;
    for (const auto& entry :
         std::filesystem::directory_iterator(journals.Path() / journal.Id() / kKeptFolderName))
        kept.push_back(entry.path().filename().string());
    EXPECT_EQ(kept, std::vector<std::string>{*first});
    EXPECT_EQ(testing::ReadBytes(journals.Path() / journal.Id() / kKeptFolderName / *first),
              "old P1");
}

TEST(JournalTrimTest, KeepsTheNewestRunsWithinBothLimits) {
    testing::TempFolder folder;
    const auto make = [&folder](const std::string& id, std::uint64_t bytes, bool complete) {
        std::filesystem::create_directory(folder.Path() / id);
        folder.Write(JoinPath(id, kManifestFileName), ManifestJson(Manifest(id, bytes, complete)));
    };
    make("20260101-000000-001", 10, true);
    make("20260101-000000-002", 10, false);  // killed long ago
    make("20260101-000000-003", 10, true);
    make("20260101-000000-004", 50, true);
    const std::string writing = NewJournalId();
    make(writing, 10, false);
    make("20260101-000000-005", 10, true);  // the one just made
    const auto ids = [&folder] {
        std::vector<std::string> left;
        for (const JournalRun& run : ListJournals(folder.Path().string()))
            left.push_back(run.id);
        return left;
    };

    EXPECT_EQ(TrimJournals({folder.Path().string(), 3, 1000}, "20260101-000000-005"), 2U);
    EXPECT_EQ(ids(), (std::vector<std::string>{writing, "20260101-000000-005",
                                               "20260101-000000-004", "20260101-000000-003"}));
    EXPECT_EQ(TrimJournals({folder.Path().string(), 3, 40}, "20260101-000000-005"), 2U);
    EXPECT_EQ(ids(), (std::vector<std::string>{writing, "20260101-000000-005"}));
    EXPECT_EQ(FindJournal(folder.Path().string(), "2026").error(),
              "'2026' begins 2 run IDs; give more of it");
}

// Two runs that end together trim the same old runs: each removal meets
// files and folders the other has just removed, and both must still end.
// A read-only file is no reason to keep a run.
TEST(JournalTrimTest, TwoRunsTrimmingTheSameOldRunsBothEndAndLeaveOnlyThemselves) {
    testing::TempFolder folder;
    const auto make = [&folder](const std::string& id) {
        for (int part = 0; part < 4; ++part) {
            const auto kept = folder.Path() / id / "kept" / std::to_string(part);
            std::filesystem::create_directories(kept);
            for (int file = 0; file < 40; ++file)
                testing::WriteBytes(kept / std::to_string(file), "kept\r\n");
        }
        folder.Write(JoinPath(id, kManifestFileName), ManifestJson(Manifest(id, 1)));
    };
    for (int old = 10; old < 30; ++old) {
        const std::string id = "20260101-000000-0" + std::to_string(old);
        make(id);
        std::filesystem::permissions(folder.Path() / id / "kept" / "0" / "0",
                                     std::filesystem::perms::owner_read);
    }
    make("20260102-000000-001");
    make("20260102-000000-002");

    const JournalPlace place{folder.Path().string(), 2, 1000};
    {
        std::jthread first([&place] { TrimJournals(place, "20260102-000000-001"); });
        std::jthread second([&place] { TrimJournals(place, "20260102-000000-002"); });
    }
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"20260102-000000-001", "20260102-000000-002"}));
}

}  // namespace
}  // namespace bladeway
