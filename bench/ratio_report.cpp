#include "ratio_report.h"

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
            if (run.run_type != Run::RT_Iteration || run.iterations == 0)
                continue;
            seconds_[run.benchmark_name()] =
                run.real_accumulated_time / static_cast<double>(run.iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    const std::map<std::string, double>& Seconds() const { return seconds_; }

  private:
    std::map<std::string, double> seconds_;
};

}  // namespace

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
        const double ratio = subject->second / baseline->second / figure.scale;
        if (figure.goal > 0) {
            std::printf("%-62s %8.2f %7s%.1f %s\n", figure.label.c_str(), ratio, "<=", figure.goal,
                        ratio <= figure.goal ? "met" : "MISSED");
        } else {
            std::printf("%-62s %8.2f\n", figure.label.c_str(), ratio);
        }
    }
    std::fflush(stdout);
    return status;
}

}  // namespace bladeway::bench
