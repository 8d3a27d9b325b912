// One pipette tick (sample 7 × 7, magnifier, panel and code update) with the
// real screen layer, against the floor of one QScreen::grabWindow of the
// 9 × 9 area the magnifier shows. Runs on an X server (scripts/with-xvfb).
#include "app/mainform.h"
#include "platform/screen.h"
#include "ratioreporter.h"
#include "settings/params.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace tintorel {
namespace {

// A window of colours for the pipette to look at.
class Rainbow : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QLinearGradient band(0, 0, width(), 0);
        for (int i = 0; i <= 6; ++i) {
            band.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 255, 255));
        }
        painter.fillRect(rect(), band);
    }
};

TMainForm* form = nullptr;
QPoint spots[2];

void Tick(benchmark::State& state) {
    int which = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Alternate between two colours so that every tick rewrites the
        // panel and the codes.
        QCursor::setPos(spots[which ^= 1]);
        state.ResumeTiming();
        form->TimerCalled();
    }
}

void GrabFloor(benchmark::State& state) {
    QScreen* screen = QGuiApplication::primaryScreen();
    for (auto _ : state) {
        const QPixmap shot = screen->grabWindow(0, spots[0].x() - 4, spots[0].y() - 4, 9, 9);
        benchmark::DoNotOptimize(shot.cacheKey());
    }
}

} // namespace
} // namespace tintorel

int main(int argc, char** argv) {
    using namespace tintorel;
    // Settings of its own: a fresh home in the temporary folder.
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("tintorel-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(home);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_STATE_HOME", (home / "state").c_str(), 1);
    QApplication app(argc, argv);
    WriteSize(7);

    Rainbow rainbow;
    rainbow.setGeometry(0, 0, 400, 60);
    rainbow.show();
    TMainForm mainForm(std::make_unique<QtScreenReader>());
    mainForm.show();
    mainForm.move(0, 100);
    if (!QTest::qWaitForWindowExposed(&rainbow) || !QTest::qWaitForWindowExposed(&mainForm)) {
        return 2; // no usable display
    }
    QTest::qWait(300);
    form = &mainForm;
    spots[0] = QPoint(60, 30);
    spots[1] = QPoint(300, 30);
    mainForm.btnCaptureClick();

    benchmark::RegisterBenchmark("Tick", Tick)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark("GrabFloor", GrabFloor)->Unit(benchmark::kMicrosecond);
    bench::RegisterBudget("1ms", 0.001);
    const int result =
        bench::RunAndCompare(argc, argv, {{"Tick", "GrabFloor", 3.0}, {"Tick", "1ms", 1.0}});
    mainForm.btnCaptureClick();
    std::filesystem::remove_all(home);
    return result;
}
