// Loading, sorting and searching a 100,000-entry colour list, each against
// a floor measured in the same run on the same data.
#include "colourlist/colorfile.h"
#include "colourlist/colorsort.h"
#include "ratioreporter.h"
#include "util/utilstring.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

namespace tintorel {
namespace {

constexpr int kEntries = 100'000;

// A list file mixing the three line forms, with a comment now and then.
// Names are as short as real colour names ("shade 4711").
const std::string& ListPath() {
    static const std::string path = [] {
        const std::string file = (std::filesystem::temp_directory_path() /
                                  ("tintorel-bench-" + std::to_string(getpid()) + ".txt"))
                                     .string();
        std::mt19937 random(42);
        std::uniform_int_distribution<int> byte(0, 255);
        std::uniform_int_distribution<int> percent(0, 100);
        std::ofstream out(file);
        for (int i = 0; i < kEntries; ++i) {
            if (i % 100 == 0) {
                out << "; section " << i / 100 << '\n';
            }
            switch (i % 3) {
            case 0: {
                char code[8];
                std::snprintf(code, sizeof code, "#%02X%02x%02X", byte(random), byte(random),
                              byte(random));
                out << "shade " << i << ',' << code << '\n';
                break;
            }
            case 1:
                out << "shade " << i << ", " << byte(random) << ", " << byte(random) << ", "
                    << byte(random) << '\n';
                break;
            default:
                out << "shade " << i << ';' << percent(random) << ';' << percent(random) << ';'
                    << percent(random) << ';' << percent(random) / 100.0 << '\n';
                break;
            }
        }
        return file;
    }();
    return path;
}

void Load(benchmark::State& state) {
    for (auto _ : state) {
        LoadColorFile(ListPath());
        benchmark::DoNotOptimize(ColorList().data());
    }
    if (ColorList().size() != static_cast<std::size_t>(kEntries)) {
        state.SkipWithError("the generated file did not load in full");
    }
}

// The floor: read the same file with getline and split each line into its
// fields, converting nothing.
void GetlineFloor(benchmark::State& state) {
    for (auto _ : state) {
        std::ifstream in(ListPath());
        std::string line;
        std::vector<std::string> fields;
        std::size_t count = 0;
        while (std::getline(in, line)) {
            fields.clear();
            SplitTokens(line, "\t,;/", fields);
            count += fields.size();
        }
        benchmark::DoNotOptimize(count);
    }
}

void Sort(benchmark::State& state, int order) {
    LoadColorFile(ListPath());
    const std::vector<BColorStruct> fileOrder = ColorList();
    for (auto _ : state) {
        state.PauseTiming();
        ColorList() = fileOrder;
        state.ResumeTiming();
        benchmark::DoNotOptimize(SortColorList(order));
    }
}

// The floor: std::sort of as many entries by integer keys computed before.
void KeySortFloor(benchmark::State& state) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> key(0, 999);
    std::vector<std::pair<int, std::uint32_t>> start(kEntries);
    for (int i = 0; i < kEntries; ++i) {
        start[i] = {key(random), static_cast<std::uint32_t>(i)};
    }
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::pair<int, std::uint32_t>> keyed = start;
        state.ResumeTiming();
        std::sort(keyed.begin(), keyed.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        benchmark::DoNotOptimize(keyed.data());
    }
}

// A thousand searches; the report divides by 1000 for one search.
void Nearest(benchmark::State& state) {
    LoadColorFile(ListPath());
    std::mt19937 random(9);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<float> colours(3000);
    for (float& c : colours) {
        c = unit(random);
    }
    for (auto _ : state) {
        for (std::size_t i = 0; i < colours.size(); i += 3) {
            benchmark::DoNotOptimize(FindNearestColor(colours[i], colours[i + 1], colours[i + 2]));
        }
    }
}

const char* const kOrderNames[] = {"Alphabetical", "File", "Hue",   "Lightness",
                                   "Saturation",   "Red",  "Green", "Blue"};

void Register() {
    benchmark::RegisterBenchmark("Load", Load)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("GetlineFloor", GetlineFloor)->Unit(benchmark::kMillisecond);
    for (int order = 0; order < 8; ++order) {
        benchmark::RegisterBenchmark((std::string("Sort/") + kOrderNames[order]).c_str(), Sort,
                                     order)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("KeySortFloor", KeySortFloor)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Nearest/x1000", Nearest)->Unit(benchmark::kMillisecond);
    // One millisecond, the budget of a single search, times the thousand.
    bench::RegisterBudget("1ms/x1000", 1.0);
}

} // namespace
} // namespace tintorel

int main(int argc, char** argv) {
    tintorel::Register();
    std::vector<tintorel::bench::Comparison> comparisons = {{"Load", "GetlineFloor", 3.0}};
    for (const char* order : tintorel::kOrderNames) {
        comparisons.push_back({std::string("Sort/") + order, "KeySortFloor", 3.0});
    }
    comparisons.push_back({"Nearest/x1000", "1ms/x1000", 1.0});
    const int result = tintorel::bench::RunAndCompare(argc, argv, comparisons);
    std::filesystem::remove(tintorel::ListPath());
    return result;
}
