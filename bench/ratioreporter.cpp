#include "ratioreporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <vector>

namespace tintorel::bench {

namespace {

class CollectingReporter : public benchmark::ConsoleReporter {
public:
    CollectingReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (!run.error_occurred) {
                times_[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
    }
    const std::map<std::string, double>& Times() const { return times_; }

private:
    std::map<std::string, double> times_;
};

} // namespace

int RunAndCompare(int argc, char** argv, const std::string& baselineSuffix, double target) {
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const std::string ours = "/ours";
    int over = 0;
    std::printf("\n%-28s %12s %12s %8s\n", "conversion", "ours (ms)",
                (baselineSuffix.substr(1) + " (ms)").c_str(), "ratio");
    for (const auto& [name, time] : reporter.Times()) {
        if (name.size() < ours.size() ||
            name.compare(name.size() - ours.size(), ours.size(), ours) != 0) {
            continue;
        }
        const std::string what = name.substr(0, name.size() - ours.size());
        const auto baseline = reporter.Times().find(what + baselineSuffix);
        if (baseline == reporter.Times().end()) {
            continue;
        }
        const double ratio = time / baseline->second;
        over += ratio > target ? 1 : 0;
        std::printf("%-28s %12.2f %12.2f %8.2f%s\n", what.c_str(), time, baseline->second, ratio,
                    ratio > target ? "  over target" : "");
    }
    std::printf("target: every ratio at most %.2f\n", target);
    return over == 0 ? 0 : 1;
}

} // namespace tintorel::bench
