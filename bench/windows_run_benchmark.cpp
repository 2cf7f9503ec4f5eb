// The processing run on Windows (run under Wine in the Windows stage): a flat
// run against a plain Win32 writer of the same durable steps, measured in
// the same run on the same files: each program written to a temporary name
// beside it, flushed before it is closed, moved over its target, written
// through. The journalled run, which keeps what it replaces for undo as the
// programs do, is against the flat run without. The files lie in
// BLADEWAY_BENCH_DIR when set (a folder on the disk, or one in memory), else
// in the temporary folder. Arguments: key count, template size in bytes.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/os/windows/win32_api.h"
#include "ratio_report.h"
#include "run_setup.h"

namespace bladeway::bench {
namespace {

std::wstring Wide(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                             wide.data(), static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return wide;
}

// One file the plain way: written, flushed and closed under a temporary
// name, then moved over the target.
bool WriteDurably(const std::wstring& temporary, const std::wstring& target,
                  const std::string& bytes) {
    const HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
        written == bytes.size() && ::FlushFileBuffers(file) != 0;
    return ::CloseHandle(file) != 0 && ok &&
           ::MoveFileExW(temporary.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void PlainDurableWriter(benchmark::State& state) {
    RunSetup& setup =
        SetupOf(true, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::vector<std::wstring> targets;
    std::vector<std::wstring> temporaries;
    for (const auto& [path, bytes] : setup.programs) {
        targets.push_back(Wide(path));
        const std::size_t name = path.find_last_of("\\/") + 1;
        temporaries.push_back(Wide(path.substr(0, name) + "." + path.substr(name) + ".bench"));
    }
    for (auto _ : state) {
        for (std::size_t at = 0; at < targets.size(); ++at) {
            if (!WriteDurably(temporaries[at], targets[at], setup.programs[at].second))
                state.SkipWithError("the plain writer could not write a program");
        }
    }
}

void FlatRun(benchmark::State& state) {
    TimeFlatRuns(state, /*journalled=*/false);
}

void JournalledFlatRun(benchmark::State& state) {
    TimeFlatRuns(state, /*journalled=*/true);
}

// Programs of about 2 KB, as a shop's are.
void RunArguments(benchmark::internal::Benchmark* benchmark) {
    benchmark->Args({3000, 2000})->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(PlainDurableWriter)->Apply(RunArguments);
BENCHMARK(FlatRun)->Apply(RunArguments);
BENCHMARK(JournalledFlatRun)->Apply(RunArguments);

}  // namespace
}  // namespace bladeway::bench

int main(int argc, char** argv) {
    using bladeway::bench::RatioFigure;
    const std::vector<RatioFigure> figures{
        {"flat run 3000 keys, 2 KB / plain durable writer", "FlatRun/3000/2000/real_time",
         "PlainDurableWriter/3000/2000/real_time", 1.3},
        // Each replaced program gets a second name in the journal: one call
        // more per file, which Wine makes dear. Shown, with no goal here.
        {"journalled flat run 3000 keys, 2 KB / flat run", "JournalledFlatRun/3000/2000/real_time",
         "FlatRun/3000/2000/real_time", 0},
    };
    return bladeway::bench::RunWithRatios(argc, argv, figures);
}
