// The processing run, flat and tree mode, against a baseline that writes the
// same bytes into the same files the same way (atomic replacement on disk).
// Arguments of every benchmark: key count, template size in bytes.
#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <tuple>

#include <benchmark/benchmark.h>

#include "bench_data.h"
#include "core/gcode/index_program.h"
#include "core/gcode/index_record.h"
#include "core/keydata/key_data_file.h"
#include "core/keydata/sheet.h"
#include "core/platform/file_system.h"
#include "core/run/processing_run.h"
#include "ratio_report.h"

namespace bladeway::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kTemplateCount = 8;
constexpr int kExistingIndexEntries = 100000;

// One run set-up: the loaded sheet, the template folder and an empty
// destination folder, for one mode, key count and template size.
struct RunSetup {
    ScratchFolder folder{RunFolderParent()};
    Sheet sheet;
    PreferenceValues preferences;
    bool flat = true;
    std::string destinationIndex;
    std::vector<std::pair<std::string, std::string>> programs;  // path, bytes of the first run

    RunEnvironment Environment() {
        return RunEnvironment{
            preferences, flat, Disk(), [] { return std::string("12/06/26"); }, {}};
    }
};

std::unique_ptr<RunSetup> MakeSetup(bool flat, int keys, int templateBytes) {
    auto setup = std::make_unique<RunSetup>();
    setup->flat = flat;
    const fs::path root = setup->folder.Path();
    fs::create_directories(root / "tpl");
    // Tree mode writes the programs P<n> below SRG/P, which the shop makes.
    fs::create_directories(flat ? root / "dest" : root / "dest" / "SRG" / "P");
    setup->preferences.templateFolder = (root / "tpl").string();
    setup->preferences.destinationFolder = (root / "dest").string();
    setup->destinationIndex = (root / "dest" / std::string(kIndexFileName)).string();
    setup->sheet.Load(ParseKeyData(std::make_shared<const std::string>(MakeKeyDataFile(keys))));

    std::string templateIndex;
    for (int t = 0; t < kTemplateCount; ++t) {
        const std::string name = "TPL" + std::to_string(t);
        const fs::path file = flat ? root / "tpl" / name : root / "tpl" / "SRG" / "T" / "PL";
        fs::create_directories(file.parent_path());
        std::string path = file.string();
        if (!flat)
            path += std::to_string(t);
        (void)Disk().ReplaceFile(path, MakeMasterTemplate(templateBytes, t));
        IndexRecord entry;
        entry.SetName(name);
        entry.SetDescription("TEMPLATE " + name);
        templateIndex.append(entry.Bytes());
    }
    if (!flat)
        (void)Disk().ReplaceFile((root / "tpl" / std::string(kIndexFileName)).string(),
                                 templateIndex);
    return setup;
}

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

// Set-ups are made once per argument set and kept for the whole run.
RunSetup& SetupOf(bool flat, int keys, int templateBytes) {
    static std::map<std::tuple<bool, int, int>, std::unique_ptr<RunSetup>> setups;
    auto& setup = setups[{flat, keys, templateBytes}];
    if (!setup) {
        setup = MakeSetup(flat, keys, templateBytes);
        // A first run gives the programs the baseline writes.
        const NoSelection all;
        const RunReport report = RunProcessing(setup->sheet, all, setup->Environment());
        for (const KeyResult& key : report.keys) {
            if (key.programWritten)
                setup->programs.emplace_back(key.outputPath,
                                             Disk().ReadWholeFile(key.outputPath).value());
        }
    }
    return *setup;
}

void CheckAllWritten(benchmark::State& state, const RunReport& report, std::size_t keys) {
    for (const KeyResult& key : report.keys) {
        if (!key.programWritten || !key.errors.empty()) {
            state.SkipWithError(("key not written: " + key.outputPath).c_str());
            return;
        }
    }
    if (report.keys.size() != keys)
        state.SkipWithError("not every key was processed");
}

void WriteBaseline(benchmark::State& state) {
    RunSetup& setup =
        SetupOf(true, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        for (const auto& [path, bytes] : setup.programs) {
            if (!Disk().ReplaceFile(path, bytes))
                state.SkipWithError(("cannot write " + path).c_str());
        }
    }
}

void FlatRun(benchmark::State& state) {
    const auto keys = static_cast<int>(state.range(0));
    RunSetup& setup = SetupOf(true, keys, static_cast<int>(state.range(1)));
    const NoSelection all;
    for (auto _ : state) {
        const RunReport report = RunProcessing(setup.sheet, all, setup.Environment());
        CheckAllWritten(state, report, static_cast<std::size_t>(keys));
    }
}

// Tree mode; the third argument is the number of entries the destination
// index holds when the run starts.
void TreeRun(benchmark::State& state) {
    const auto keys = static_cast<int>(state.range(0));
    RunSetup& setup = SetupOf(false, keys, static_cast<int>(state.range(1)));
    const std::string& existing = ExistingIndex(static_cast<int>(state.range(2)));
    const NoSelection all;
    for (auto _ : state) {
        state.PauseTiming();
        (void)Disk().ReplaceFile(setup.destinationIndex, existing);
        state.ResumeTiming();
        const RunReport report = RunProcessing(setup.sheet, all, setup.Environment());
        CheckAllWritten(state, report, static_cast<std::size_t>(keys));
    }
    const auto index = Disk().ReadWholeFile(setup.destinationIndex);
    if (!index ||
        index.value().size() != existing.size() + static_cast<std::size_t>(keys) * kIndexRecordSize)
        state.SkipWithError("the destination index does not hold every key");
}

void RunArguments(benchmark::internal::Benchmark* benchmark) {
    for (const int templateBytes : {1024, 20 * 1024})
        for (const int keys : {100, 1000, 10000})
            benchmark->Args({keys, templateBytes});
}

void TreeArguments(benchmark::internal::Benchmark* benchmark) {
    for (const int templateBytes : {1024, 20 * 1024})
        for (const int keys : {100, 1000, 10000})
            for (const int existing : {0, kExistingIndexEntries})
                benchmark->Args({keys, templateBytes, existing});
}

BENCHMARK(WriteBaseline)->Apply(RunArguments)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FlatRun)->Apply(RunArguments)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(TreeRun)->Apply(TreeArguments)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace bladeway::bench

int main(int argc, char** argv) {
    using bladeway::bench::RatioFigure;
    std::vector<RatioFigure> figures;
    for (const char* size : {"1024", "20480"}) {
        const std::string kb = std::string(size) == "1024" ? "1 KB" : "20 KB";
        for (const char* keys : {"100", "1000", "10000"}) {
            const std::string args = std::string(keys) + "/" + size;
            const double goal = std::string(keys) == "10000" ? 1.5 : 0;
            figures.push_back({std::string("flat run ") + keys + " keys, " + kb + " / write only",
                               "FlatRun/" + args + "/real_time",
                               "WriteBaseline/" + args + "/real_time", goal});
        }
        for (const char* keys : {"100", "1000", "10000"}) {
            const std::string args = std::string(keys) + "/" + size;
            const double goal = std::string(keys) == "10000" ? 2.0 : 0;
            for (const char* existing : {"0", "100000"}) {
                figures.push_back({std::string("tree run ") + keys + " keys, " + kb + ", index " +
                                       existing + " / flat run",
                                   "TreeRun/" + args + "/" + existing + "/real_time",
                                   "FlatRun/" + args + "/real_time", goal});
            }
        }
    }
    return bladeway::bench::RunWithRatios(argc, argv, figures);
}
