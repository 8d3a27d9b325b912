// Runs the registered benchmarks and prints, for each pair named
// "<what>/ours" and "<what>/<baseline>", both times and their ratio.
#pragma once

#include <string>

namespace tintorel::bench {

// Returns the process exit code: non-zero when a ratio exceeds `target`.
int RunAndCompare(int argc, char** argv, const std::string& baselineSuffix, double target);

} // namespace tintorel::bench
