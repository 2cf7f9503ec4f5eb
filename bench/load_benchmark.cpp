// Loading a key data file into the sheet, against reading the same file and
// counting its lines with memchr.
#include <cstring>
#include <map>

#include <benchmark/benchmark.h>

#include "bench_data.h"
#include "core/keydata/key_data_file.h"
#include "core/keydata/sheet.h"
#include "core/storage/file_system.h"
#include "ratio_report.h"

namespace bladeway::bench {
namespace {

// One file per size, written once for the whole run.
const std::string& KeyFileOf(int keys) {
    static ScratchFolder folder;
    static std::map<int, std::string> paths;
    auto& path = paths[keys];
    if (path.empty())
        path = folder.Write("keys" + std::to_string(keys) + ".dat", MakeKeyDataFile(keys));
    return path;
}

// The baseline's work on the bytes: count the line ends with memchr.
std::size_t CountLines(const std::string& bytes) {
    std::size_t lines = 0;
    const char* at = bytes.data();
    const char* end = at + bytes.size();
    while ((
        at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at))))) {
        ++lines;
        ++at;
    }
    return lines;
}

void LoadBaseline(benchmark::State& state) {
    const std::string& path = KeyFileOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const auto bytes = Disk().ReadWholeFile(path);
        benchmark::DoNotOptimize(CountLines(bytes.value()));
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

// The same, with the previous read kept until the next one is done, as the
// loader keeps the sheet shown until the new one is ready: the bytes land in
// fresh memory each time instead of the pages the last read left.
void LoadBaselineFreshMemory(benchmark::State& state) {
    const std::string& path = KeyFileOf(static_cast<int>(state.range(0)));
    std::string previous;
    for (auto _ : state) {
        auto bytes = Disk().ReadWholeFile(path);
        benchmark::DoNotOptimize(CountLines(bytes.value()));
        previous = std::move(bytes.value());
    }
}

void Load(benchmark::State& state) {
    const std::string& path = KeyFileOf(static_cast<int>(state.range(0)));
    Sheet sheet;
    for (auto _ : state) {
        const Outcome loaded = LoadKeyDataFile(path, sheet);
        if (!loaded)
            state.SkipWithError(loaded.error().c_str());
        benchmark::DoNotOptimize(sheet.CellText(1, 1));
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

BENCHMARK(LoadBaseline)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadBaselineFreshMemory)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Load)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace bladeway::bench

int main(int argc, char** argv) {
    using bladeway::bench::RatioFigure;
    return bladeway::bench::RunWithRatios(
        argc, argv,
        {
            {"load 1,000 keys / read + count lines", "Load/1000", "LoadBaseline/1000", 0},
            {"load 10,000 keys / read + count lines", "Load/10000", "LoadBaseline/10000", 3.0},
            {"load 100,000 keys / read + count lines", "Load/100000", "LoadBaseline/100000", 3.0},
            {"load 100,000 keys / read + count lines into fresh memory", "Load/100000",
             "LoadBaselineFreshMemory/100000", 3.0},
            {"load per byte, 100,000 keys / 10,000 keys (linearity)", "Load/100000", "Load/10000",
             1.2, 10.0},
        });
}
