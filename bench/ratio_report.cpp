#include "ratio_report.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include <benchmark/benchmark.h>

namespace bladeway::bench {
namespace {

// The console table as usual, keeping each run's real time per iteration.
class CollectingReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0 || run.error_occurred)
                continue;
            // With repetitions, the fastest: noise only ever adds time.
            const double seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
            const auto [kept, added] = seconds_.emplace(run.benchmark_name(), seconds);
            if (!added)
                kept->second = std::min(kept->second, seconds);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    const std::map<std::string, double>& Seconds() const { return seconds_; }

  private:
    std::map<std::string, double> seconds_;
};

}  // namespace

void PrintFigure(const std::string& label, double ratio, double goal) {
    // Small figures (a part of a run) keep their digits.
    const char* const format = ratio < 0.1 ? "%-62s %8.4f" : "%-62s %8.2f";
    std::printf(format, label.c_str(), ratio);
    if (goal > 0)
        std::printf(" %7s%g %s", "<=", goal, ratio <= goal ? "met" : "MISSED");
    std::printf("\n");
    std::fflush(stdout);
}

int RunWithRatios(int argc, char** argv, const std::vector<RatioFigure>& figures) {
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    int status = 0;
    std::printf("\n%-62s %8s %8s\n", "Figure", "Ratio", "Goal");
    for (const RatioFigure& figure : figures) {
        const auto subject = reporter.Seconds().find(figure.subject);
        const auto baseline = reporter.Seconds().find(figure.baseline);
        if (subject == reporter.Seconds().end() || baseline == reporter.Seconds().end()) {
            std::printf("%-62s %8s\n", figure.label.c_str(), "not run");
            status = 1;
            continue;
        }
        PrintFigure(figure.label, subject->second / baseline->second / figure.scale, figure.goal);
    }
    std::fflush(stdout);
    return status;
}

}  // namespace bladeway::bench
