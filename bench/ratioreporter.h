// Runs the registered benchmarks, then prints each measured time against
// the baseline measured in the same run, with the ratio and its target.
#pragma once

#include <string>
#include <vector>

namespace tintorel::bench {

struct Comparison {
    std::string measured; // a benchmark's registered name
    std::string baseline; // the benchmark it is divided by
    double target;        // the largest acceptable ratio
};

// Registers `name` as a benchmark whose every iteration takes exactly
// `seconds`: a fixed budget to compare a measured time with.
void RegisterBudget(const char* name, double seconds);

// Returns the process exit code: non-zero when a ratio exceeds its target.
int RunAndCompare(int argc, char** argv, const std::vector<Comparison>& comparisons);

} // namespace tintorel::bench
