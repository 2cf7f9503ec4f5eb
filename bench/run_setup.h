#pragma once
// What the run benchmarks share: a run's set-up (a loaded sheet of generated
// keys, a template folder of master templates and an empty destination
// folder), made once per mode, key count and template size, with the
// programs its first run wrote, which the baselines write again.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench_data.h"
#include "core/keydata/sheet.h"
#include "core/run/processing_run.h"
#include "core/settings/preference_values.h"

namespace bladeway::bench {

struct RunSetup {
    ScratchFolder folder{RunFolderParent()};
    Sheet sheet;
    PreferenceValues preferences;
    bool flat = true;
    std::string destinationIndex;
    std::vector<std::pair<std::string, std::string>> programs;  // path, bytes of the first run

    RunEnvironment Environment();
};

// The set-up of one argument set, kept for the whole run of the program.
RunSetup& SetupOf(bool flat, int keys, int templateBytes);

// Marks the benchmark failed unless every one of `keys` keys was written.
void CheckAllWritten(benchmark::State& state, const RunReport& report, std::size_t keys);

// Times flat runs of state.range(0) keys, templates of state.range(1) bytes.
// Journalled: each run keeps every program it replaces in a run journal on
// the same disk (a second name for each old file); two runs are kept, so
// that from the third iteration on each run also removes the oldest
// journal, as every run does once a shop's journal holds its 20 runs,
// after the run ends, timed only when `trimTimed`.
void TimeFlatRuns(benchmark::State& state, bool journalled, bool trimTimed = false);

}  // namespace bladeway::bench
