// The processing run, flat and tree mode, against two baselines that write
// the same bytes into the same files, measured in the same run: the durable
// batch (each file to a temporary one beside it, one syncfs, the renames, one
// fsync of the folder), the least a run that survives a power loss can cost,
// and a plain writer that flushes nothing. Arguments of every benchmark: key
// count, template size in bytes (tree mode: and the destination index's
// entries at the start). The journalled flat run keeps what it replaces, as
// the programs do, for undo; its figure is against the flat run without. The
// check Process makes before a run is against the tree run it tries.
#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <tuple>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include "core/gcode/index_record.h"
#include "core/run/run_check.h"
#include "core/run/run_rehearsal.h"
#include "ratio_report.h"
#include "run_setup.h"

namespace bladeway::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kExistingIndexEntries = 100000;

// A destination index of `entries` records in name order, names spread
// around the programs' names (never equal to one) so that the run's entries land
// everywhere.
const std::string& ExistingIndex(int entries) {
    static std::map<int, std::string> made;
    std::string& index = made[entries];
    if (index.empty() && entries > 0) {
        for (int n = 0; n < entries; ++n) {
            IndexRecord entry;
            entry.SetName(std::string("P").append(std::to_string(n * 10 + 5)).append("X"));
            entry.SetDescription(std::string("EXISTING ").append(std::to_string(n)));
            entry.SetDate("01/02/25");
            index.append(entry.Bytes());
        }
        // Names sort as text: put them in that order.
        std::vector<std::string> records;
        for (std::size_t at = 0; at < index.size(); at += kIndexRecordSize)
            records.push_back(index.substr(at, kIndexRecordSize));
        std::sort(records.begin(), records.end());
        index.clear();
        for (const std::string& record : records)
            index += record;
    }
    return index;
}

// One syncfs of the file system that holds `folder`.
bool FlushFileSystemOf(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool flushed = ::syncfs(fd) == 0;
    return ::close(fd) == 0 && flushed;
}

// Flushes what earlier benchmarks left unwritten, untimed: a flush is
// global to the file system, so the plain writer's pages would otherwise be
// paid for by the next benchmark's flush.
void SettleDisk(benchmark::State& state, const RunSetup& setup) {
    if (!FlushFileSystemOf(setup.folder.Path().string()))
        state.SkipWithError("cannot flush the benchmark's file system");
}

bool WriteWhole(const std::string& path, const std::string& bytes, int flags) {
    const int fd = ::open(path.c_str(), flags | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written =
        ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    return ::close(fd) == 0 && written;
}

// Each program to a temporary file beside it, one syncfs, the renames, one
// fsync of each folder.
void DurableBatchBaseline(benchmark::State& state) {
    RunSetup& setup =
        SetupOf(true, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::vector<std::string> temporaries;
    std::set<std::string> folders;
    for (const auto& [path, bytes] : setup.programs) {
        const fs::path target(path);
        std::string name = ".";
        name.append(target.filename().string()).append(".bench");
        temporaries.push_back((target.parent_path() / name).string());
        folders.insert(target.parent_path().string());
    }
    SettleDisk(state, setup);
    for (auto _ : state) {
        for (std::size_t at = 0; at < temporaries.size(); ++at) {
            if (!WriteWhole(temporaries[at], setup.programs[at].second, O_CREAT | O_TRUNC))
                state.SkipWithError(("cannot write " + temporaries[at]).c_str());
        }
        if (!FlushFileSystemOf(*folders.begin()))
            state.SkipWithError("syncfs failed");
        for (std::size_t at = 0; at < temporaries.size(); ++at) {
            if (::rename(temporaries[at].c_str(), setup.programs[at].first.c_str()) != 0)
                state.SkipWithError("rename failed");
        }
        for (const std::string& name : folders) {
            const int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY);
            if (fd < 0 || ::fsync(fd) != 0)
                state.SkipWithError("folder fsync failed");
            ::close(fd);
        }
    }
}

// The same files written in place, nothing flushed.
void PlainWriteBaseline(benchmark::State& state) {
    RunSetup& setup =
        SetupOf(true, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    SettleDisk(state, setup);
    for (auto _ : state) {
        for (const auto& [path, bytes] : setup.programs) {
            if (!WriteWhole(path, bytes, O_CREAT | O_TRUNC))
                state.SkipWithError(("cannot write " + path).c_str());
        }
    }
}

void FlatRun(benchmark::State& state) {
    SettleDisk(state,
               SetupOf(true, static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    TimeFlatRuns(state, /*journalled=*/false);
}

void JournalledFlatRun(benchmark::State& state) {
    SettleDisk(state,
               SetupOf(true, static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    TimeFlatRuns(state, /*journalled=*/true);
}

// The same with the removal of the oldest journal after it timed too.
void JournalledFlatRunAndItsTrim(benchmark::State& state) {
    SettleDisk(state,
               SetupOf(true, static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    TimeFlatRuns(state, /*journalled=*/true, /*trimTimed=*/true);
}

// Puts the destination index back as the run found it, untimed.
void RestoreIndex(benchmark::State& state, const RunSetup& setup, const std::string& existing) {
    state.PauseTiming();
    (void)Disk().ReplaceFile(setup.destinationIndex, existing);
    state.ResumeTiming();
}

// Tree mode; the third argument is the number of entries the destination
// index holds when the run starts.
void TreeRun(benchmark::State& state) {
    const auto keys = static_cast<int>(state.range(0));
    RunSetup& setup = SetupOf(false, keys, static_cast<int>(state.range(1)));
    const std::string& existing = ExistingIndex(static_cast<int>(state.range(2)));
    const NoSelection all;
    SettleDisk(state, setup);
    for (auto _ : state) {
        RestoreIndex(state, setup, existing);
        const RunReport report = RunProcessing(setup.sheet, all, setup.Environment());
        CheckAllWritten(state, report, static_cast<std::size_t>(keys));
    }
    const auto index = Disk().ReadWholeFile(setup.destinationIndex);
    if (!index ||
        index.value().size() != existing.size() + static_cast<std::size_t>(keys) * kIndexRecordSize)
        state.SkipWithError("the destination index does not hold every key");
}

// The disk without the writer's claim: what a run would cost if no other
// program ever wrote its index.
class UnclaimedDisk final : public FileSystem {
  public:
    bool Exists(const std::string& path) const override { return Disk().Exists(path); }
    bool FolderExists(const std::string& path) const override { return Disk().FolderExists(path); }
    Expected<std::string> ReadWholeFile(const std::string& path, std::size_t limit) const override {
        return Disk().ReadWholeFile(path, limit);
    }
    Outcome ReplaceFile(const std::string& path, std::string_view bytes) override {
        return Disk().ReplaceFile(path, bytes);
    }
    Outcome CreateEmptyIfMissing(const std::string& path) override {
        return Disk().CreateEmptyIfMissing(path);
    }
    StagingSteps* Staging() override { return Disk().Staging(); }
    Expected<WriterLock> LockForWriting(const std::string& /*path*/,
                                        const LockWait& /*wait*/) override {
        return WriterLock{};
    }
};

// The tree run as a run would go without its index's claim.
void UnclaimedTreeRun(benchmark::State& state) {
    const auto keys = static_cast<int>(state.range(0));
    RunSetup& setup = SetupOf(false, keys, static_cast<int>(state.range(1)));
    const std::string& existing = ExistingIndex(static_cast<int>(state.range(2)));
    const NoSelection all;
    UnclaimedDisk unclaimed;
    SettleDisk(state, setup);
    for (auto _ : state) {
        RestoreIndex(state, setup, existing);
        RunEnvironment environment = setup.Environment();
        const RunEnvironment withoutClaim{environment.preferences,
                                          environment.flatTemplateMode,
                                          unclaimed,
                                          environment.today,
                                          {}};
        const RunReport report = RunProcessing(setup.sheet, all, withoutClaim);
        CheckAllWritten(state, report, static_cast<std::size_t>(keys));
    }
}

// What a write of an index does for its claim, on its own: the claim taken,
// confirmed before the replacement, released. A run of a few thousand keys
// writes its index once, so this is all the claim adds to it; timed alone,
// it is not lost in the run's own spread.
void ClaimTakeAndRelease(benchmark::State& state) {
    RunSetup& setup = SetupOf(false, 3000, 2000);
    const LockWait wait;
    for (auto _ : state) {
        auto lock = WaitForWriterLock(setup.destinationIndex, wait);
        if (!lock || !lock.value().Confirm())
            state.SkipWithError("cannot take the claim");
    }
}

// The check Process makes before a tree run: the run tried on a file system
// that writes nothing.
void CheckBeforeTreeRun(benchmark::State& state) {
    const auto keys = static_cast<int>(state.range(0));
    RunSetup& setup = SetupOf(false, keys, static_cast<int>(state.range(1)));
    (void)Disk().ReplaceFile(setup.destinationIndex,
                             ExistingIndex(static_cast<int>(state.range(2))));
    const NoSelection all;
    SettleDisk(state, setup);
    for (auto _ : state) {
        const std::vector<RunHazard> hazards =
            CheckBeforeRun(setup.sheet, all, setup.Environment(), setup.preferences);
        if (!hazards.empty())
            state.SkipWithError(("the check found: " + hazards.front().text).c_str());
    }
}

// Process as a worker meets it: the check, then the run, which takes what
// the check's trial made instead of making it again.
void CheckedTreeRun(benchmark::State& state) {
    const auto keys = static_cast<int>(state.range(0));
    RunSetup& setup = SetupOf(false, keys, static_cast<int>(state.range(1)));
    const std::string& existing = ExistingIndex(static_cast<int>(state.range(2)));
    const NoSelection all;
    SettleDisk(state, setup);
    for (auto _ : state) {
        RestoreIndex(state, setup, existing);
        RunRehearsal rehearsal;
        RunEnvironment environment = setup.Environment();
        environment.rehearsal = &rehearsal;
        const std::vector<RunHazard> hazards =
            CheckBeforeRun(setup.sheet, all, environment, setup.preferences);
        if (!hazards.empty())
            state.SkipWithError(("the check found: " + hazards.front().text).c_str());
        const RunReport report = RunProcessing(setup.sheet, all, environment);
        CheckAllWritten(state, report, static_cast<std::size_t>(keys));
    }
}

// Programs of about 2 KB, as a shop's are; 20 KB for a long template.
void RunArguments(benchmark::internal::Benchmark* benchmark) {
    benchmark->Args({3000, 2000})->Args({30000, 2000})->Args({3000, 20000});
}

void TreeArguments(benchmark::internal::Benchmark* benchmark) {
    for (const auto& [keys, templateBytes] : {std::pair{3000, 2000}, {30000, 2000}, {3000, 20000}})
        for (const int existing : {0, kExistingIndexEntries})
            benchmark->Args({keys, templateBytes, existing});
}

BENCHMARK(DurableBatchBaseline)->Apply(RunArguments)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PlainWriteBaseline)->Apply(RunArguments)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FlatRun)->Apply(RunArguments)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(JournalledFlatRun)->Apply(RunArguments)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(JournalledFlatRunAndItsTrim)
    ->Args({3000, 2000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(TreeRun)->Apply(TreeArguments)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CheckBeforeTreeRun)->Apply(TreeArguments)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CheckedTreeRun)->Apply(TreeArguments)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(UnclaimedTreeRun)->Args({3000, 2000, 0})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ClaimTakeAndRelease)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace bladeway::bench

int main(int argc, char** argv) {
    using bladeway::bench::RatioFigure;
    std::vector<RatioFigure> figures;
    for (const std::string args : {"3000/2000", "30000/2000", "3000/20000"}) {
        const std::string keys = args.substr(0, args.find('/'));
        const std::string size = args.ends_with("/2000") ? "2 KB" : "20 KB";
        const bool goals = size == "2 KB";
        const std::string flat = "FlatRun/" + args + "/real_time";
        figures.push_back({"flat run " + keys + " keys, " + size + " / durable batch", flat,
                           "DurableBatchBaseline/" + args + "/real_time", goals ? 1.2 : 0});
        figures.push_back({"flat run " + keys + " keys, " + size + " / plain writer", flat,
                           "PlainWriteBaseline/" + args + "/real_time", goals ? 1.0 : 0});
        figures.push_back({"journalled flat run " + keys + " keys, " + size + " / flat run",
                           "JournalledFlatRun/" + args + "/real_time", flat,
                           keys == "3000" && goals ? 1.2 : 0});
        // What atomic replacement alone costs over writing in place: a run
        // can come no closer to the plain writer than this.
        figures.push_back({"durable batch " + keys + " keys, " + size + " / plain writer",
                           "DurableBatchBaseline/" + args + "/real_time",
                           "PlainWriteBaseline/" + args + "/real_time", 0});
        for (const char* existing : {"0", "100000"}) {
            const bool goal = goals && std::string(existing) == "0";
            figures.push_back(
                {"tree run " + keys + " keys, " + size + ", index " + existing + " / flat run",
                 "TreeRun/" + args + "/" + existing + "/real_time", flat, goal ? 1.3 : 0});
            // The check before a run must not be felt beside the run itself.
            figures.push_back({"check before a tree run " + keys + " keys, " + size + ", index " +
                                   existing + " / tree run",
                               "CheckBeforeTreeRun/" + args + "/" + existing + "/real_time",
                               "TreeRun/" + args + "/" + existing + "/real_time", goal ? 0.5 : 0});
            // Process with its check against the run alone: at most 1.1 at
            // a shop's largest file.
            figures.push_back({"checked tree run " + keys + " keys, " + size + ", index " +
                                   existing + " / tree run",
                               "CheckedTreeRun/" + args + "/" + existing + "/real_time",
                               "TreeRun/" + args + "/" + existing + "/real_time",
                               goal && keys == "30000" ? 1.1 : 0});
        }
    }
    // What the index's writer claim costs a run on its own disk: the run with
    // and without it (within the runs' spread), and its one claim timed alone
    // against the run without it.
    figures.push_back({"tree run 3000 keys, 2 KB, index 0, with its claim / without",
                       "TreeRun/3000/2000/0/real_time", "UnclaimedTreeRun/3000/2000/0/real_time",
                       0});
    figures.push_back({"one claim taken, confirmed and released / tree run 3000 keys without it",
                       "ClaimTakeAndRelease/real_time", "UnclaimedTreeRun/3000/2000/0/real_time",
                       0.02});
    // A tree run against writing its programs plainly: on a share, what the
    // run costs beside a plain copy of the same files.
    figures.push_back({"tree run 3000 keys, 2 KB, index 0 / plain writer",
                       "TreeRun/3000/2000/0/real_time", "PlainWriteBaseline/3000/2000/real_time",
                       0});
    // The journal included, against the least a durable run can cost; and
    // with the removal of the oldest journal after it, which no run waits for.
    figures.push_back({"journalled flat run 3000 keys, 2 KB / durable batch",
                       "JournalledFlatRun/3000/2000/real_time",
                       "DurableBatchBaseline/3000/2000/real_time", 1.3});
    figures.push_back({"journalled flat run and its trim 3000 keys, 2 KB / durable batch",
                       "JournalledFlatRunAndItsTrim/3000/2000/real_time",
                       "DurableBatchBaseline/3000/2000/real_time", 0});
    return bladeway::bench::RunWithRatios(argc, argv, figures);
}
