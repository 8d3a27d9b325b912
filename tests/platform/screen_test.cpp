// The real screen layer against a real X server: run under xvfb-run.
#include "../patience.h"
#include "platform/screen.h"

#include <QApplication>
#include <QCursor>
#include <QtGui/qguiapplication_platform.h>
#include <QDeadlineTimer>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <vector>

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

// One colour per device pixel: red and green the column and row, blue
// which 256 × 256 block they lie in.
QRgb PatternAt(int x, int y) {
    return qRgb(x % 256, y % 256, (x / 256 + 3 * (y / 256)) * 40);
}

// At any scale Qt draws at (QT_SCALE_FACTOR 1, 1.25, 1.5, 2), the pointer
// and the pixels are the server's own: every device pixel can be sampled,
// a single one among others, and the area read around it is not shifted.
TEST(QtScreenReader, ReadsTheServersOwnPixelsAtEveryScale) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_NE(x11, nullptr);
    xcb_connection_t* connection = x11->connection();
    const xcb_screen_t* root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const int width = root->width_in_pixels;
    const int height = root->height_in_pixels;
    // The pattern, drawn on the root window a band of rows at a time.
    const xcb_gcontext_t gc = xcb_generate_id(connection);
    xcb_create_gc(connection, gc, root->root, 0, nullptr);
    constexpr int kBand = 32;
    for (int top = 0; top < height; top += kBand) {
        const int rows = std::min(kBand, height - top);
        std::vector<std::uint32_t> band(static_cast<std::size_t>(width) * rows);
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < width; ++x) {
                band[static_cast<std::size_t>(y) * width + x] = PatternAt(x, top + y) & 0xFFFFFFu;
            }
        }
        xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root->root, gc,
                      static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(rows), 0,
                      static_cast<std::int16_t>(top), 0, root->root_depth,
                      static_cast<std::uint32_t>(band.size() * 4),
                      reinterpret_cast<const std::uint8_t*>(band.data()));
    }
    // A round trip: the server has drawn everything asked before it.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));

    EXPECT_FALSE(XServerIsXWayland()); // Xvfb
    QtScreenReader screen;
    EXPECT_EQ(screen.Size(), QSize(width, height));
    const QPoint points[] = {{0, 0},     {1, 1},   {7, 5},   {64, 113}, {65, 113},
                             {301, 257}, {302, 257}, {303, 258}, {width - 1, height - 1}};
    for (const QPoint& at : points) {
        SCOPED_TRACE(testing::Message() << at.x() << ", " << at.y());
        xcb_warp_pointer(connection, XCB_NONE, root->root, 0, 0, 0, 0,
                         static_cast<std::int16_t>(at.x()), static_cast<std::int16_t>(at.y()));
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
        EXPECT_EQ(screen.CursorPos(), at);
        const QRect square(at - QPoint(1, 1), QSize(3, 3));
        ASSERT_TRUE(screen.Open(square));
        for (int y = square.top(); y <= square.bottom(); ++y) {
            for (int x = square.left(); x <= square.right(); ++x) {
                const bool exists = x >= 0 && y >= 0 && x < width && y < height;
                EXPECT_EQ(screen.PixelExists(x, y), exists) << x << ", " << y;
                const QRgb expected = exists ? PatternAt(x, y) : qRgb(0, 0, 0);
                EXPECT_EQ(screen.Pixel(x, y), static_cast<std::uint32_t>(qRed(expected)) |
                                                  static_cast<std::uint32_t>(qGreen(expected)) << 8 |
                                                  static_cast<std::uint32_t>(qBlue(expected)) << 16)
                    << x << ", " << y;
            }
        }
        // The magnifier's copy: three pixels to nine, the centre one the
        // pixel under the pointer.
        QImage magnified(9, 9, QImage::Format_RGB32);
        screen.StretchCopy(square, magnified, magnified.rect());
        EXPECT_EQ(magnified.pixel(4, 4), PatternAt(at.x(), at.y()));
        screen.Close();
    }
    xcb_free_gc(connection, gc);
}

} // namespace
} // namespace tintorel
