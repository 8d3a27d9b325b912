// The real screen layer against a real X server: run under xvfb-run.
#include "../patience.h"
#include "platform/screen.h"

#include <QApplication>
#include <QCursor>
#include <QDeadlineTimer>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace tintorel {
namespace {

// Waits, handling events, until the condition holds; the limit only bounds
// a failure, it is not a guess at how long the X server takes.
template <typename Condition> bool WaitFor(Condition condition) {
    QDeadlineTimer limit(kPatienceMs);
    while (!condition()) {
        if (limit.hasExpired()) {
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

TEST(QtScreenReader, ReadsAWindowOfAKnownColour) {
    QWidget window;
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.setAutoFillBackground(true);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(12, 200, 77));
    window.setPalette(palette);
    window.setGeometry(40, 30, 120, 90);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, kPatienceMs));

    QtScreenReader screen;
    EXPECT_GE(screen.Size().width(), 160);
    const QPoint inside = window.mapToGlobal(QPoint(60, 45));
    // Exposed is not yet painted: wait until the server holds the colour.
    ASSERT_TRUE(WaitFor([&] {
        const bool open = screen.Open(QRect(inside, QSize(1, 1)));
        const bool painted = open && screen.Pixel(inside.x(), inside.y()) == 0x4DC80Cu;
        screen.Close();
        return painted;
    }));
    ASSERT_TRUE(screen.Open(QRect(inside - QPoint(3, 3), QSize(7, 7))));
    EXPECT_EQ(screen.Pixel(inside.x(), inside.y()), 0x4DC80Cu); // 0x00BBGGRR
    EXPECT_EQ(screen.Pixel(inside.x() + 3, inside.y() - 3), 0x4DC80Cu);
    QImage magnified(69, 69, QImage::Format_RGB32);
    magnified.fill(Qt::black);
    screen.StretchCopy(QRect(inside - QPoint(3, 3), QSize(7, 7)), magnified, magnified.rect());
    EXPECT_EQ(magnified.pixel(34, 34), qRgb(12, 200, 77));
    screen.Close();

    QCursor::setPos(inside);
    EXPECT_TRUE(WaitFor([&] { return screen.CursorPos() == inside; }));
}

TEST(QtScreenReader, AreasOutsideEveryMonitorReadBlack) {
    QtScreenReader screen;
    const QSize size = screen.Size();
    ASSERT_TRUE(screen.Open(QRect(size.width() - 2, 0, 4, 2)));
    EXPECT_EQ(screen.Pixel(size.width() + 1, 0), 0u);
    screen.Close();
    EXPECT_FALSE(screen.Open(QRect(size.width() + 10, 0, 4, 4)));
}

} // namespace
} // namespace tintorel
