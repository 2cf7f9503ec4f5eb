#pragma once
// The baseline of the desktop grids' load benchmarks: the core's load of a
// key data file, the way a grid takes one (into a new sheet, which then
// replaces the shown one), so that a grid's load is measured against it.
#include <string>

#include <benchmark/benchmark.h>

namespace bladeway::bench {

void LoadAsAGridDoes(benchmark::State& state, const std::string& path);

}  // namespace bladeway::bench
