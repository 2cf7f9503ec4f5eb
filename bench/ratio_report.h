#pragma once
// Figures as ratios: each compares one benchmark's time with a baseline's,
// both measured in the same run, so the figures hold on any machine.
#include <string>
#include <vector>

namespace bladeway::bench {

struct RatioFigure {
    std::string label;     // what the figure says, e.g. "load 10,000 keys / read + count lines"
    std::string subject;   // benchmark run name, e.g. "Load/10000"
    std::string baseline;  // benchmark run name of the baseline
    double goal = 0;       // the ratio must stay at or below this; 0 for none
    double scale = 1;      // divides the ratio (e.g. the size factor of a linearity check)
};

// Runs the registered benchmarks (command-line flags as Google Benchmark
// takes them), prints the usual table, then one line per figure; with
// repetitions a figure takes each benchmark's fastest run, since noise only
// ever adds time. Returns 0, or 1 when a figure's benchmark did not run.
int RunWithRatios(int argc, char** argv, const std::vector<RatioFigure>& figures);

// Prints one figure measured otherwise (such as memory) in the same form.
void PrintFigure(const std::string& label, double ratio, double goal = 0);

}  // namespace bladeway::bench
