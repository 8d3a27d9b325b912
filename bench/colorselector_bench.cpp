// A full rebuild of the colour field's plane (64 × 64 cells on the main
// window's 185 × 81 field) against the floor of filling the same 4,096
// rectangles of an image with colours computed beforehand.
#include "colour/color.h"
#include "controls/colorselector.h"
#include "ratioreporter.h"

#include <QApplication>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <vector>

namespace tintorel {
namespace {

constexpr int kWidth = 185;
constexpr int kHeight = 81;
constexpr int kCells = 64;

void Rebuild(benchmark::State& state) {
    BColorSelector field;
    field.resize(kWidth, kHeight);
    field.SetNbDivX(kCells);
    field.SetNbDivY(kCells);
    field.SetZValue(0.75f);
    for (auto _ : state) {
        field.UpdateBitmap();
        benchmark::DoNotOptimize(field.Bitmap().constBits());
    }
}

struct Cell {
    QRect rect;
    QColor colour;
};

std::vector<Cell> PrecomputedCells() {
    std::vector<Cell> cells;
    for (int i = 0; i < kCells; ++i) {
        for (int j = 0; j < kCells; ++j) {
            const PackedColor packed =
                BColorHls(360.0f * i / kCells, static_cast<float>(j) / kCells, 0.75f).ToColor();
            cells.push_back(
                {QRect(QPoint(kWidth * i / kCells, kHeight * j / kCells),
                       QPoint(kWidth * (i + 1) / kCells - 1, kHeight * (j + 1) / kCells - 1)),
                 QColor(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF)});
        }
    }
    return cells;
}

void FillFloor(benchmark::State& state) {
    const std::vector<Cell> cells = PrecomputedCells();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        for (const Cell& cell : cells) {
            painter.fillRect(cell.rect, cell.colour);
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

} // namespace
} // namespace tintorel

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::RegisterBenchmark("Rebuild", tintorel::Rebuild)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("FillFloor", tintorel::FillFloor)->Unit(benchmark::kMicrosecond);
    tintorel::bench::RegisterBudget("1ms", 0.001);
    return tintorel::bench::RunAndCompare(argc, argv,
                                          {{"Rebuild", "FillFloor", 2.0}, {"Rebuild", "1ms", 1.0}});
}
