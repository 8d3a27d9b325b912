// One pipette tick (sample 7 × 7, magnifier, panel and code update) with the
// real screen layer, and one with the pointer still (the screen read and
// nothing redrawn), against the floor of one QScreen::grabWindow of the
// 9 × 9 area the magnifier shows. Runs on an X server (scripts/with-xvfb).
// The colours it samples are another program's window (this benchmark run
// again with --rainbow): over its own windows the pipette reads nothing.
#include "app/mainform.h"
#include "platform/screen/x11/x11screen.h"
#include "ratioreporter.h"
#include "settings/params.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>
#include <benchmark/benchmark.h>

#include <cstdio>
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

// A tick of the pipette's clock, as its timer gets it.
void PipetteTick() {
    auto* timer = form->findChild<QTimer*>(QStringLiteral("timTimer"));
    QTimerEvent tick(timer->timerId());
    QCoreApplication::sendEvent(timer, &tick);
}

void PressPipette() {
    form->findChild<QAbstractButton*>(QStringLiteral("btnCapture"))->click();
}

void Tick(benchmark::State& state) {
    int which = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Alternate between two colours so that every tick rewrites the
        // panel and the codes.
        QCursor::setPos(spots[which ^= 1]);
        state.ResumeTiming();
        PipetteTick();
    }
}

// The pointer still over a still screen: what a tick costs when nothing
// changes, reading the screen and nothing else.
void StillTick(benchmark::State& state) {
    QCursor::setPos(spots[0]);
    PipetteTick();
    for (auto _ : state) {
        PipetteTick();
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
    if (argc == 2 && std::string(argv[1]) == "--rainbow") {
        QApplication app(argc, argv);
        Rainbow rainbow;
        rainbow.setGeometry(0, 0, 400, 60);
        rainbow.show();
        if (!QTest::qWaitForWindowExposed(&rainbow)) {
            return 2;
        }
        std::puts("shown");
        std::fflush(stdout);
        return app.exec();
    }
    // Settings of its own: a fresh home in the temporary folder.
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("tintorel-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(home);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_STATE_HOME", (home / "state").c_str(), 1);
    QApplication app(argc, argv);
    WriteSize(7);

    QProcess rainbow;
    rainbow.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--rainbow")});
    while (rainbow.waitForReadyRead(-1) && !rainbow.canReadLine()) {
    }
    if (rainbow.readLine().trimmed() != "shown") {
        std::fprintf(stderr, "the window to sample did not show\n");
        return 2;
    }
    TMainForm mainForm(std::make_unique<QtScreenReader>());
    mainForm.show();
    mainForm.move(0, 100);
    if (!QTest::qWaitForWindowExposed(&mainForm)) {
        return 2; // no usable display
    }
    form = &mainForm;
    spots[0] = QPoint(60, 30);
    spots[1] = QPoint(300, 30);
    PressPipette();
    // Shown is not yet painted: the pipette waits for the rainbow's colours.
    QCursor::setPos(spots[1]);
    const PackedColor before = mainForm.CurrentColor()->ToColor();
    while (mainForm.CurrentColor()->ToColor() == before) {
        PipetteTick();
        QTest::qWait(10);
    }

    benchmark::RegisterBenchmark("Tick", Tick)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark("StillTick", StillTick)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark("GrabFloor", GrabFloor)->Unit(benchmark::kMicrosecond);
    bench::RegisterBudget("1ms", 0.001);
    const int result = bench::RunAndCompare(
        argc, argv,
        {{"Tick", "GrabFloor", 3.0}, {"Tick", "1ms", 1.0}, {"StillTick", "GrabFloor", 1.5}});
    PressPipette();
    rainbow.kill();
    rainbow.waitForFinished();
    std::filesystem::remove_all(home);
    return result;
}
