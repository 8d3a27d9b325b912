// The real screen layer against a real X server: run under xvfb-run.
#include "platform/screen/x11/x11screen.h"
#include "tests/patience.h"

#include <QApplication>
#include <QCursor>
#include <QDeadlineTimer>
#include <QTest>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
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
        const ScreenGrab grab = screen.Grab(QRect(inside, QSize(1, 1)));
        return grab.Taken() && grab.Pixel(inside.x(), inside.y()) == 0x4DC80Cu;
    }));
    const ScreenGrab grab = screen.Grab(QRect(inside - QPoint(3, 3), QSize(7, 7)));
    ASSERT_TRUE(grab.Taken());
    EXPECT_EQ(grab.Pixel(inside.x(), inside.y()), 0x4DC80Cu); // 0x00BBGGRR
    EXPECT_EQ(grab.Pixel(inside.x() + 3, inside.y() - 3), 0x4DC80Cu);
    EXPECT_EQ(grab.Image().pixel(3, 3), qRgb(12, 200, 77));

    QCursor::setPos(inside);
    EXPECT_TRUE(WaitFor([&] { return screen.CursorPos() == inside; }));
}

TEST(QtScreenReader, AreasOutsideEveryMonitorReadBlack) {
    QtScreenReader screen;
    const QSize size = screen.Size();
    const ScreenGrab edge = screen.Grab(QRect(size.width() - 2, 0, 4, 2));
    ASSERT_TRUE(edge.Taken());
    EXPECT_TRUE(edge.Exists(size.width() - 1, 1));
    EXPECT_FALSE(edge.Exists(size.width(), 0));
    EXPECT_EQ(edge.Pixel(size.width() + 1, 0), 0u);
    EXPECT_EQ(edge.Image().pixel(3, 1), qRgb(0, 0, 0));
    EXPECT_EQ(screen.Grab(QRect(size.width() + 10, 0, 4, 4)).Status(),
              ScreenGrab::State::Unreadable);
}

// A grab read pixel by pixel: black and absent where no monitor is,
// nothing outside its area, each pixel in its place of the image.
TEST(ScreenGrab, HoldsEachPixelOfItsAreaInPlace) {
    const QRect area(-2, 5, 4, 3);
    const ScreenGrab grab = ScreenGrab::FromPixels(
        area, [](int x, int) { return x >= 0; },
        [](int x, int y) { return static_cast<std::uint32_t>(x + 1) | (y << 8) | (7u << 16); });
    ASSERT_TRUE(grab.Taken());
    ASSERT_EQ(grab.Image().size(), area.size());
    for (int y = area.top() - 1; y <= area.bottom() + 1; ++y) {
        for (int x = area.left() - 1; x <= area.right() + 1; ++x) {
            SCOPED_TRACE(testing::Message() << x << ", " << y);
            const bool inside = area.contains(x, y);
            const bool exists = inside && x >= 0;
            EXPECT_EQ(grab.Exists(x, y), exists);
            const std::uint32_t expected =
                exists ? static_cast<std::uint32_t>(x + 1) | (y << 8) | (7u << 16) : 0u;
            EXPECT_EQ(grab.Pixel(x, y), expected);
            if (inside) {
                EXPECT_EQ(grab.Image().pixel(x - area.left(), y - area.top()),
                          exists ? qRgb(x + 1, y, 7) : qRgb(0, 0, 0));
            }
        }
    }
    EXPECT_EQ(ScreenGrab::Coming().Status(), ScreenGrab::State::Coming);
    EXPECT_FALSE(ScreenGrab::Coming().Exists(0, 0));
    EXPECT_FALSE(ScreenGrab().Taken());
    EXPECT_EQ(ScreenGrab().Pixel(0, 0), 0u);
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
    const QPoint points[] = {{0, 0},     {1, 1},     {7, 5},
                             {64, 113},  {65, 113},  {301, 257},
                             {302, 257}, {303, 258}, {width - 1, height - 1}};
    for (const QPoint& at : points) {
        SCOPED_TRACE(testing::Message() << at.x() << ", " << at.y());
        xcb_warp_pointer(connection, XCB_NONE, root->root, 0, 0, 0, 0,
                         static_cast<std::int16_t>(at.x()), static_cast<std::int16_t>(at.y()));
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
        EXPECT_EQ(screen.CursorPos(), at);
        const QRect square(at - QPoint(1, 1), QSize(3, 3));
        const ScreenGrab grab = screen.Grab(square);
        ASSERT_TRUE(grab.Taken());
        for (int y = square.top(); y <= square.bottom(); ++y) {
            for (int x = square.left(); x <= square.right(); ++x) {
                const bool exists = x >= 0 && y >= 0 && x < width && y < height;
                EXPECT_EQ(grab.Exists(x, y), exists) << x << ", " << y;
                const QRgb expected = exists ? PatternAt(x, y) : qRgb(0, 0, 0);
                EXPECT_EQ(grab.Pixel(x, y), static_cast<std::uint32_t>(qRed(expected)) |
                                                static_cast<std::uint32_t>(qGreen(expected)) << 8 |
                                                static_cast<std::uint32_t>(qBlue(expected)) << 16)
                    << x << ", " << y;
            }
        }
        // The picture's centre is the pixel under the pointer.
        EXPECT_EQ(grab.Image().pixel(1, 1), PatternAt(at.x(), at.y()));
    }
    xcb_free_gc(connection, gc);
}

// The pipette's own windows are found where the server has the pointer, at
// any scale; the place it looked at is the one the tick then samples.
TEST(QtScreenReader, FindsItsOwnWindowsAtEveryScale) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_NE(x11, nullptr);
    xcb_connection_t* connection = x11->connection();
    const xcb_screen_t* root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    QWidget window;
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.setGeometry(100, 80, 120, 90);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, kPatienceMs));
    const qreal scale = window.devicePixelRatio();
    const auto device = [scale](int logical) { return qRound(logical * scale); };
    const auto warp = [&](QPoint at) {
        xcb_warp_pointer(connection, XCB_NONE, root->root, 0, 0, 0, 0,
                         static_cast<std::int16_t>(at.x()), static_cast<std::int16_t>(at.y()));
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    };
    const struct {
        QPoint at; // device pixels
        bool own;
    } cases[] = {
        {{device(160), device(125)}, true},         {{device(100) + 3, device(80) + 3}, true},
        {{device(220) - 4, device(170) - 4}, true}, {{device(100) - 3, device(125)}, false},
        {{device(160), device(170) + 3}, false},    {{5, 5}, false},
    };
    QtScreenReader screen;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.at.x() << ", " << c.at.y());
        warp(c.at);
        EXPECT_EQ(screen.PointerOnOwnWindow(), c.own);
        // The pointer moves on: the tick still samples where it looked,
        // and the tick after it reads the pointer afresh.
        warp(QPoint(1, 1));
        EXPECT_EQ(screen.CursorPos(), c.at);
        EXPECT_EQ(screen.CursorPos(), QPoint(1, 1));
    }
}

} // namespace
} // namespace tintorel
