#include "ratioreporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace tintorel::bench {

namespace {

class CollectingReporter : public benchmark::ConsoleReporter {
public:
    CollectingReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // Of repeated runs, the median stands for the benchmark.
            const bool aggregate = run.run_type == Run::RT_Aggregate;
            if (!run.error_occurred && (!aggregate || run.aggregate_name == "median")) {
                // Per iteration, in milliseconds whatever unit the run used.
                times_[run.run_name.function_name] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) *
                    1e3;
            }
        }
    }
    const std::map<std::string, double>& Times() const { return times_; }

private:
    std::map<std::string, double> times_;
};

} // namespace

void RegisterBudget(const char* name, double seconds) {
    benchmark::RegisterBenchmark(name,
                                 [seconds](benchmark::State& state) {
                                     for (auto _ : state) {
                                         state.SetIterationTime(seconds);
                                     }
                                 })
        ->UseManualTime()
        ->Iterations(1)
        ->Unit(benchmark::kMicrosecond);
}

int RunAndCompare(int argc, char** argv, const std::vector<Comparison>& comparisons) {
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    int over = 0;
    std::printf("\n%-26s %11s  %-22s %11s %7s %7s\n", "measured", "time (ms)", "baseline",
                "time (ms)", "ratio", "target");
    for (const Comparison& c : comparisons) {
        const auto measured = reporter.Times().find(c.measured);
        const auto baseline = reporter.Times().find(c.baseline);
        if (measured == reporter.Times().end() || baseline == reporter.Times().end()) {
            continue; // filtered out on the command line
        }
        const double ratio = measured->second / baseline->second;
        const bool fails = ratio > c.target;
        over += fails ? 1 : 0;
        std::printf("%-26s %11.3f  %-22s %11.3f %7.2f %7.2f%s\n", c.measured.c_str(),
                    measured->second, c.baseline.c_str(), baseline->second, ratio, c.target,
                    fails ? "  OVER" : "");
    }
    return over == 0 ? 0 : 1;
}

} // namespace tintorel::bench
