// Our colour-space conversions against Qt's QColor on the same million
// random colours, in the same run.
#include "colour/color.h"
#include "ratioreporter.h"

#include <QColor>
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace tintorel {
namespace {

// QColor's own name for its colour models.
using Space = decltype(QColor::Rgb);

constexpr std::size_t kCount = 1'000'000;

struct Rgb {
    float r, g, b;
};

const std::vector<Rgb>& Inputs() {
    static const std::vector<Rgb> inputs = [] {
        std::mt19937 random(20261208);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        std::vector<Rgb> v(kCount);
        for (Rgb& c : v) {
            c = {unit(random), unit(random), unit(random)};
        }
        return v;
    }();
    return inputs;
}

const std::vector<PackedColor>& PackedInputs() {
    static const std::vector<PackedColor> inputs = [] {
        std::vector<PackedColor> v;
        v.reserve(kCount);
        for (const Rgb& c : Inputs()) {
            v.push_back(BColorRgb(c.r, c.g, c.b).ToColor());
        }
        return v;
    }();
    return inputs;
}

// Ours: one object of the class, FromRgb into it for every input.
template <class Colour> void OursFromRgb(benchmark::State& state, Colour colour) {
    for (auto _ : state) {
        for (const Rgb& c : Inputs()) {
            colour.FromRgb(c.r, c.g, c.b);
            benchmark::DoNotOptimize(colour);
        }
    }
}

// Ours: a million objects of the class, ToRgb of each.
template <class Colour> void OursToRgb(benchmark::State& state, Colour prototype) {
    std::vector<Colour> colours(kCount, prototype);
    for (std::size_t i = 0; i < kCount; ++i) {
        colours[i].FromRgb(Inputs()[i].r, Inputs()[i].g, Inputs()[i].b);
    }
    for (auto _ : state) {
        for (const Colour& colour : colours) {
            float r = 0, g = 0, b = 0;
            colour.ToRgb(r, g, b);
            benchmark::DoNotOptimize(r + g + b);
        }
    }
}

// Qt: QColor from the RGB floats, converted to `space`, components read out.
void QtFromRgb(benchmark::State& state, Space space) {
    for (auto _ : state) {
        for (const Rgb& c : Inputs()) {
            const QColor converted = QColor::fromRgbF(c.r, c.g, c.b).convertTo(space);
            float a = 0, b = 0, d = 0, e = 0;
            if (space == QColor::Cmyk) {
                converted.getCmykF(&a, &b, &d, &e);
            } else if (space == QColor::Hsl) {
                converted.getHslF(&a, &b, &d);
            } else if (space == QColor::Hsv) {
                converted.getHsvF(&a, &b, &d);
            } else {
                converted.getRgbF(&a, &b, &d);
            }
            benchmark::DoNotOptimize(a + b + d + e);
        }
    }
}

// Qt: a million QColors held in `space`, each converted back to RGB.
void QtToRgb(benchmark::State& state, Space space) {
    std::vector<QColor> colours;
    colours.reserve(kCount);
    for (const Rgb& c : Inputs()) {
        colours.push_back(QColor::fromRgbF(c.r, c.g, c.b).convertTo(space));
    }
    for (auto _ : state) {
        for (const QColor& colour : colours) {
            float r = 0, g = 0, b = 0;
            colour.toRgb().getRgbF(&r, &g, &b);
            benchmark::DoNotOptimize(r + g + b);
        }
    }
}

void OursToColor(benchmark::State& state) {
    std::vector<BColorRgb> colours;
    colours.reserve(kCount);
    for (const Rgb& c : Inputs()) {
        colours.emplace_back(c.r, c.g, c.b);
    }
    for (auto _ : state) {
        for (const BColorRgb& colour : colours) {
            benchmark::DoNotOptimize(colour.ToColor());
        }
    }
}

void QtToColor(benchmark::State& state) {
    for (auto _ : state) {
        for (const Rgb& c : Inputs()) {
            benchmark::DoNotOptimize(QColor::fromRgbF(c.r, c.g, c.b).rgb());
        }
    }
}

void OursFromColor(benchmark::State& state) {
    BColorRgb colour(0, 0, 0);
    for (auto _ : state) {
        for (const PackedColor packed : PackedInputs()) {
            colour.FromColor(packed);
            benchmark::DoNotOptimize(colour);
        }
    }
}

void QtFromColor(benchmark::State& state) {
    for (auto _ : state) {
        for (const PackedColor packed : PackedInputs()) {
            // QRgb holds red in bits 16..23: swap to compare like with like.
            const QRgb rgb = qRgb(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
            float r = 0, g = 0, b = 0;
            QColor::fromRgb(rgb).getRgbF(&r, &g, &b);
            benchmark::DoNotOptimize(r + g + b);
        }
    }
}

void Register() {
    const auto unit = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)->MinTime(0.3);
    };
    unit(benchmark::RegisterBenchmark("FromRgb/RGB/ours", OursFromRgb<BColorRgb>,
                                      BColorRgb(0, 0, 0)));
    unit(benchmark::RegisterBenchmark("FromRgb/RGB/qt", QtFromRgb, QColor::Rgb));
    unit(benchmark::RegisterBenchmark("FromRgb/HLS/ours", OursFromRgb<BColorHls>,
                                      BColorHls(0, 0, 0)));
    unit(benchmark::RegisterBenchmark("FromRgb/HLS/qt", QtFromRgb, QColor::Hsl));
    unit(benchmark::RegisterBenchmark("FromRgb/HSV/ours", OursFromRgb<BColorHsv>,
                                      BColorHsv(0, 0, 0)));
    unit(benchmark::RegisterBenchmark("FromRgb/HSV/qt", QtFromRgb, QColor::Hsv));
    // Qt has no CMY space; its CMYK conversion is the nearest counterpart.
    unit(benchmark::RegisterBenchmark("FromRgb/CMY/ours", OursFromRgb<BColorCmy>,
                                      BColorCmy(0, 0, 0)));
    unit(benchmark::RegisterBenchmark("FromRgb/CMY/qt", QtFromRgb, QColor::Cmyk));
    unit(benchmark::RegisterBenchmark("FromRgb/CMYK/ours", OursFromRgb<BColorCmyk>,
                                      BColorCmyk(0, 0, 0, 0)));
    unit(benchmark::RegisterBenchmark("FromRgb/CMYK/qt", QtFromRgb, QColor::Cmyk));

    unit(benchmark::RegisterBenchmark("ToRgb/RGB/ours", OursToRgb<BColorRgb>, BColorRgb(0, 0, 0)));
    unit(benchmark::RegisterBenchmark("ToRgb/RGB/qt", QtToRgb, QColor::Rgb));
    unit(benchmark::RegisterBenchmark("ToRgb/HLS/ours", OursToRgb<BColorHls>, BColorHls(0, 0, 0)));
    unit(benchmark::RegisterBenchmark("ToRgb/HLS/qt", QtToRgb, QColor::Hsl));
    unit(benchmark::RegisterBenchmark("ToRgb/HSV/ours", OursToRgb<BColorHsv>, BColorHsv(0, 0, 0)));
    unit(benchmark::RegisterBenchmark("ToRgb/HSV/qt", QtToRgb, QColor::Hsv));
    unit(benchmark::RegisterBenchmark("ToRgb/CMY/ours", OursToRgb<BColorCmy>, BColorCmy(0, 0, 0)));
    unit(benchmark::RegisterBenchmark("ToRgb/CMY/qt", QtToRgb, QColor::Cmyk));
    unit(benchmark::RegisterBenchmark("ToRgb/CMYK/ours", OursToRgb<BColorCmyk>,
                                      BColorCmyk(0, 0, 0, 0)));
    unit(benchmark::RegisterBenchmark("ToRgb/CMYK/qt", QtToRgb, QColor::Cmyk));

    unit(benchmark::RegisterBenchmark("ToColor/ours", OursToColor));
    unit(benchmark::RegisterBenchmark("ToColor/qt", QtToColor));
    unit(benchmark::RegisterBenchmark("FromColor/ours", OursFromColor));
    unit(benchmark::RegisterBenchmark("FromColor/qt", QtFromColor));
}

} // namespace
} // namespace tintorel

int main(int argc, char** argv) {
    tintorel::Register();
    std::vector<tintorel::bench::Comparison> comparisons;
    for (const char* what :
         {"FromRgb/RGB", "FromRgb/HLS", "FromRgb/HSV", "FromRgb/CMY", "FromRgb/CMYK", "ToRgb/RGB",
          "ToRgb/HLS", "ToRgb/HSV", "ToRgb/CMY", "ToRgb/CMYK", "ToColor", "FromColor"}) {
        comparisons.push_back({std::string(what) + "/ours", std::string(what) + "/qt", 1.0});
    }
    return tintorel::bench::RunAndCompare(argc, argv, comparisons);
}
