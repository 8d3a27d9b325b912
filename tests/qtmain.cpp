// Widget tests need an application object; they run without a display on
// Qt's offscreen platform.
#include <QApplication>
#include <QThreadPool>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    // The pool's workers (the raster engine's) end here, not after the
    // leak check has looked at their stacks.
    QThreadPool::globalInstance()->waitForDone();
    return failed;
}
