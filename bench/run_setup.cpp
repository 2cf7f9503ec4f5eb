#include "run_setup.h"

#include <filesystem>
#include <map>
#include <memory>
#include <tuple>

#include "core/gcode/index_program.h"
#include "core/gcode/index_record.h"
#include "core/journal/journal_trimming.h"
#include "core/keydata/key_data_file.h"
#include "core/storage/file_system.h"

namespace bladeway::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kTemplateCount = 8;

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

}  // namespace

RunEnvironment RunSetup::Environment() {
    return RunEnvironment{preferences, flat, Disk(), [] { return std::string("12/06/26"); }, {}};
}

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

void TimeFlatRuns(benchmark::State& state, bool journalled, bool trimTimed) {
    const auto keys = static_cast<int>(state.range(0));
    RunSetup& setup = SetupOf(true, keys, static_cast<int>(state.range(1)));
    RunEnvironment environment = setup.Environment();
    if (journalled) {
        environment.journal.folder = (setup.folder.Path() / "journal").string();
        environment.journal.keepRuns = 2;
    }
    const NoSelection all;
    for (auto _ : state) {
        const RunReport report = RunProcessing(setup.sheet, all, environment);
        // The oldest journal goes after the run, as the programs remove it
        // while their report is read: before the next run, untimed unless
        // asked for.
        if (!trimTimed)
            state.PauseTiming();
        WaitForJournalTrims();
        if (!trimTimed)
            state.ResumeTiming();
        CheckAllWritten(state, report, static_cast<std::size_t>(keys));
        if (journalled && report.journalId.empty())
            state.SkipWithError(("no journal: " + report.journalProblem).c_str());
    }
}

}  // namespace bladeway::bench
