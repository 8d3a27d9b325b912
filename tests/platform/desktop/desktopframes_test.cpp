#include "platform/desktop/desktopframes.h"
#include "tests/platform/desktop/monitor.h"

#include <gtest/gtest.h>

namespace tintorel {
namespace {

constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0xFF0000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

// A BGRx frame whose pixel (x, y) is `colour(x, y)` (0x00BBGGRR), with two
// bytes of padding after each row.
template <typename Colour> std::vector<std::uint8_t> Frame(int width, int height, Colour colour) {
    const int stride = width * 4 + 2;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stride) * height, 0xEE);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colour(x, y);
            std::uint8_t* p = bytes.data() + y * stride + x * 4;
            p[0] = static_cast<std::uint8_t>(c >> 16);
            p[1] = static_cast<std::uint8_t>(c >> 8);
            p[2] = static_cast<std::uint8_t>(c);
        }
    }
    return bytes;
}

void Fill(DesktopFrames& desktop, std::size_t index, int width, int height, std::uint32_t colour) {
    const auto bytes = Frame(width, height, [=](int, int) { return colour; });
    desktop.SetFrame(index, width, height, width * 4 + 2, FrameFormat::Bgrx, bytes.data(),
                     bytes.size());
}

// Two monitors side by side, the second lower by two units: the desktop is
// the box around both, and the corner that no monitor covers reads black.
TEST(DesktopFrames, TwoMonitorsWithOffsets) {
    DesktopFrames desktop;
    desktop.SetMonitors({Monitor(-4, 0, 4, 4), Monitor(0, 2, 3, 4)});
    Fill(desktop, 0, 4, 4, kRed);
    Fill(desktop, 1, 3, 4, kGreen);
    EXPECT_EQ(desktop.Size(), (DesktopPoint{7, 6}));
    const struct {
        int x, y;
        std::uint32_t colour;
    } cases[] = {
        {0, 0, kRed}, {3, 3, kRed}, {4, 2, kGreen}, {6, 5, kGreen},
        {4, 1, 0},    {0, 5, 0},    {7, 2, 0},      {-1, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(desktop.Pixel(c.x, c.y), c.colour) << c.x << "," << c.y;
    }
}

// A HiDPI monitor (two frame pixels per unit) beside an ordinary one: the
// desktop takes the larger scale, so the sharp monitor is read pixel for
// pixel and each pixel of the other covers two by two.
TEST(DesktopFrames, MonitorAtScaleTwoIsReadPixelForPixel) {
    DesktopFrames desktop;
    desktop.SetMonitors({Monitor(0, 0, 2, 2), Monitor(2, 0, 2, 2)});
    const auto sharp = Frame(
        4, 4, [](int x, int y) { return static_cast<std::uint32_t>(x * 60 + (y * 60 << 8)); });
    desktop.SetFrame(0, 4, 4, 4 * 4 + 2, FrameFormat::Bgrx, sharp.data(), sharp.size());
    const auto plain = Frame(2, 2, [](int x, int y) { return x == 0 && y == 0 ? kBlue : kWhite; });
    desktop.SetFrame(1, 2, 2, 2 * 4 + 2, FrameFormat::Bgrx, plain.data(), plain.size());
    EXPECT_EQ(desktop.Scale(), 2.0);
    EXPECT_EQ(desktop.Size(), (DesktopPoint{8, 4}));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(desktop.Pixel(x, y), static_cast<std::uint32_t>(x * 60 + (y * 60 << 8)))
                << x << "," << y;
        }
    }
    EXPECT_EQ(desktop.Pixel(4, 0), kBlue);
    EXPECT_EQ(desktop.Pixel(5, 1), kBlue);
    EXPECT_EQ(desktop.Pixel(6, 1), kWhite);
    EXPECT_EQ(desktop.Pixel(5, 2), kWhite);

    // The pointer on the ordinary monitor at its frame pixel (1, 1) is at
    // the desktop's (4 + 2, 2); on the sharp one, frame pixels are desktop
    // pixels.
    desktop.SetPointer(1, true, 1, 1);
    EXPECT_EQ(desktop.Pointer(), (DesktopPoint{6, 2}));
    desktop.SetPointer(1, false, 0, 0);
    desktop.SetPointer(0, true, 3, 1);
    EXPECT_EQ(desktop.Pointer(), (DesktopPoint{3, 1}));
}

// Near the seam of a scale-2 monitor and an ordinary one, the compositor
// reports the pointer on both streams, one of them just beyond its own
// monitor: only a report within its stream's frame places the pointer,
// whichever stream comes first.
TEST(DesktopFrames, APointerReportBeyondItsOwnFrameIsIgnored) {
    const struct {
        int ordinaryX, ordinaryY; // the report on the ordinary monitor (frame 2 x 2)
        int sharpX, sharpY;       // on the sharp one (frame 4 x 4), left of it
        std::optional<DesktopPoint> pointer;
    } cases[] = {
        {-1, 1, 3, 1, DesktopPoint{3, 1}}, // just left of the ordinary one
        {0, 1, 4, 1, DesktopPoint{4, 2}},  // just right of the sharp one
        {1, 2, 2, 4, std::nullopt},        // below both
        {2, 0, -1, 0, std::nullopt},       // beyond each on the far side
        {1, -1, 3, 3, DesktopPoint{3, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.ordinaryX << "," << c.ordinaryY << " / " << c.sharpX << "," << c.sharpY);
        for (const bool ordinaryFirst : {true, false}) {
            DesktopFrames desktop;
            const std::size_t ordinary = ordinaryFirst ? 0 : 1;
            const std::size_t sharp = 1 - ordinary;
            std::vector<MonitorFrame> monitors(2);
            monitors[ordinary] = Monitor(2, 0, 2, 2);
            monitors[sharp] = Monitor(0, 0, 2, 2);
            desktop.SetMonitors(monitors);
            Fill(desktop, sharp, 4, 4, kRed);
            Fill(desktop, ordinary, 2, 2, kBlue);
            desktop.SetPointer(ordinary, true, c.ordinaryX, c.ordinaryY);
            desktop.SetPointer(sharp, true, c.sharpX, c.sharpY);
            EXPECT_EQ(desktop.Pointer(), c.pointer) << "ordinary first " << ordinaryFirst;
        }
    }
}

// At a fractional scale a desktop pixel straddles two frame pixels: it
// reads the one under its centre.
TEST(DesktopFrames, AtAFractionalScaleEachPixelReadsWhatIsUnderItsCentre) {
    DesktopFrames desktop;
    desktop.SetMonitors({Monitor(0, 0, 2, 2), Monitor(2, 0, 2, 2)});
    Fill(desktop, 0, 3, 3, kGreen); // 1.5 frame pixels per unit
    const auto plain = Frame(2, 2, [](int x, int) { return x == 0 ? kBlue : kWhite; });
    desktop.SetFrame(1, 2, 2, 2 * 4 + 2, FrameFormat::Bgrx, plain.data(), plain.size());
    ASSERT_EQ(desktop.Scale(), 1.5);
    EXPECT_EQ(desktop.Size(), (DesktopPoint{6, 3}));
    // Desktop pixels 3, 4 and 5 cover the second monitor's units 2 to 4;
    // their centres fall at 2.33, 3.0 and 3.67.
    const std::uint32_t expected[] = {kGreen, kGreen, kGreen, kBlue, kWhite, kWhite};
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(desktop.Pixel(x, 1), expected[x]) << x;
    }
}

TEST(DesktopFrames, PointerOffEveryMonitorIsNowhere) {
    DesktopFrames desktop;
    desktop.SetMonitors({Monitor(0, 0, 4, 4), Monitor(4, 0, 4, 4)});
    EXPECT_FALSE(desktop.Pointer().has_value());
    desktop.SetPointer(1, true, 2, 3);
    EXPECT_EQ(desktop.Pointer(), (DesktopPoint{6, 3}));
    desktop.SetPointer(1, false, 2, 3); // the stream says: not on this monitor
    EXPECT_FALSE(desktop.Pointer().has_value());
    desktop.SetPointer(7, true, 1, 1); // no such monitor
    EXPECT_FALSE(desktop.Pointer().has_value());
}

// A buffer that carries only the pointer moves the pointer and keeps the
// frame that came before it.
TEST(DesktopFrames, PointerOnlyUpdatesKeepTheFrame) {
    DesktopFrames desktop;
    desktop.SetMonitors({Monitor(0, 0, 2, 2)});
    EXPECT_FALSE(desktop.HasFrames());
    EXPECT_EQ(desktop.Pixel(0, 0), 0u);
    Fill(desktop, 0, 2, 2, kGreen);
    desktop.SetPointer(0, true, 1, 0);
    EXPECT_TRUE(desktop.HasFrames());
    EXPECT_EQ(desktop.Pixel(1, 1), kGreen);
    EXPECT_EQ(desktop.Pointer(), (DesktopPoint{1, 0}));
}

// A 7 × 7 square around a pointer near the seam of two monitors, one of
// them lower: the part beside the lower monitor's top reads black.
TEST(DesktopFrames, SquareAcrossAMonitorEdge) {
    DesktopFrames desktop;
    desktop.SetMonitors({Monitor(0, 0, 8, 8), Monitor(8, 2, 8, 8)});
    Fill(desktop, 0, 8, 8, kRed);
    Fill(desktop, 1, 8, 8, kBlue);
    desktop.SetPointer(0, true, 7, 1);
    const DesktopPoint at = *desktop.Pointer();
    int red = 0;
    int blue = 0;
    int black = 0;
    for (int y = at.y - 3; y <= at.y + 3; ++y) {
        for (int x = at.x - 3; x <= at.x + 3; ++x) {
            const std::uint32_t pixel = desktop.Pixel(x, y);
            red += pixel == kRed;
            blue += pixel == kBlue;
            black += pixel == 0;
        }
    }
    // Rows -2..4, columns 4..10: rows below 0 are black (14 pixels); of the
    // rows 0..4, columns 4..7 are red (20) and 8..10 are blue from row 2 (9).
    EXPECT_EQ(red, 20);
    EXPECT_EQ(blue, 9);
    EXPECT_EQ(black, 49 - 20 - 9);
    // The black there is no pixel at all: the pipette averages only the 29
    // that exist.
    int existing = 0;
    for (int y = at.y - 3; y <= at.y + 3; ++y) {
        for (int x = at.x - 3; x <= at.x + 3; ++x) {
            existing += desktop.PixelExists(x, y);
        }
    }
    EXPECT_EQ(existing, 29);
}

// A monitor whose stream has sent nothing yet has no pixels either.
TEST(DesktopFrames, AMonitorWithoutAFrameHasNoPixels) {
    DesktopFrames desktop;
    desktop.SetMonitors({Monitor(0, 0, 4, 4), Monitor(4, 0, 4, 4)});
    Fill(desktop, 1, 4, 4, kGreen);
    EXPECT_FALSE(desktop.PixelExists(0, 0));
    EXPECT_EQ(desktop.Pixel(0, 0), 0u);
    EXPECT_TRUE(desktop.PixelExists(4, 0));
    EXPECT_TRUE(desktop.PixelExists(7, 3));
    EXPECT_FALSE(desktop.PixelExists(8, 0));
    EXPECT_FALSE(desktop.PixelExists(-1, 0));
}

// Two monitors of one size that the portal only names, in either order of
// its streams; the left one shows red, the right one blue. Placed by guess,
// a monitor's pixels are read only while the pointer is on it; the screen
// of our window under the pointer places them for sure.
TEST(DesktopFrames, MonitorsOfOneSizeArePlacedByEvidence) {
    for (const bool leftFirst : {true, false}) {
        SCOPED_TRACE(leftFirst ? "left monitor's stream first" : "right monitor's stream first");
        const std::size_t left = leftFirst ? 0 : 1;
        const std::size_t right = 1 - left;
        // Placed by guess, in the order of their streams.
        std::vector<MonitorFrame> monitors = {Monitor(0, 0, 2, 2), Monitor(2, 0, 2, 2)};
        monitors[0].sure = monitors[1].sure = false;
        DesktopFrames desktop;
        desktop.SetMonitors(monitors);
        Fill(desktop, left, 2, 2, kRed);
        Fill(desktop, right, 2, 2, kBlue);

        // The pointer at the right monitor's pixel (0, 1), by the seam.
        desktop.SetPointer(right, true, 0, 1);
        const DesktopPoint guessed = *desktop.Pointer();
        const int across = guessed.x == 0 ? 2 : -1; // onto the other monitor
        EXPECT_EQ(desktop.Pixel(guessed.x, 1), kBlue);
        EXPECT_FALSE(desktop.PixelExists(guessed.x + across, 1)) << "beyond an unsure monitor";
        EXPECT_EQ(desktop.Pixel(guessed.x + across, 1), 0u);

        desktop.PointerOnScreen({4, 0, 2, 2}); // no such screen: nothing learnt
        desktop.PointerOnScreen({2, 0, 3, 2});
        EXPECT_EQ(desktop.Pointer(), guessed);
        EXPECT_FALSE(desktop.PixelExists(guessed.x + across, 1));

        desktop.PointerOnScreen({2, 0, 2, 2});
        EXPECT_EQ(desktop.Pointer(), (DesktopPoint{2, 1}));
        const struct {
            int x;
            std::uint32_t colour;
        } row[] = {{0, kRed}, {1, kRed}, {2, kBlue}, {3, kBlue}};
        for (const auto& pixel : row) {
            EXPECT_TRUE(desktop.PixelExists(pixel.x, 1)) << pixel.x;
            EXPECT_EQ(desktop.Pixel(pixel.x, 1), pixel.colour) << pixel.x;
        }
        // The other one is sure too, by elimination: from it, the seam's
        // other side is read.
        desktop.SetPointer(right, false, 0, 0);
        desktop.SetPointer(left, true, 1, 1);
        EXPECT_EQ(desktop.Pointer(), (DesktopPoint{1, 1}));
        EXPECT_EQ(desktop.Pixel(2, 1), kBlue);
    }
}

// Every byte order the streams may offer reads as the same colour.
TEST(DesktopFrames, EveryByteOrder) {
    const struct {
        FrameFormat format;
        std::uint8_t bytes[4];
    } cases[] = {
        {FrameFormat::Bgrx, {0x5A, 0x3D, 0x0C, 0x00}},
        {FrameFormat::Rgbx, {0x0C, 0x3D, 0x5A, 0x00}},
        {FrameFormat::Xbgr, {0x00, 0x5A, 0x3D, 0x0C}},
        {FrameFormat::Xrgb, {0x00, 0x0C, 0x3D, 0x5A}},
    };
    for (const auto& c : cases) {
        DesktopFrames desktop;
        desktop.SetMonitors({Monitor(0, 0, 1, 1)});
        desktop.SetFrame(0, 1, 1, 4, c.format, c.bytes, 4);
        EXPECT_EQ(desktop.Pixel(0, 0), 0x5A3D0Cu) << static_cast<int>(c.format);
    }
}

// Frames that do not hold what their size says are dropped, and the frame
// before them stays.
TEST(DesktopFrames, FramesShorterThanTheirSizeAreDropped) {
    DesktopFrames desktop;
    desktop.SetMonitors({Monitor(0, 0, 2, 2)});
    Fill(desktop, 0, 2, 2, kGreen);
    const std::vector<std::uint8_t> bytes(15, 0xFF);
    const struct {
        int width, height, stride;
        std::size_t size;
    } cases[] = {{2, 2, 8, 15}, {2, 2, 7, 15}, {0, 2, 8, 15}, {2, -1, 8, 15}, {1 << 30, 1, 8, 15}};
    for (const auto& c : cases) {
        desktop.SetFrame(0, c.width, c.height, c.stride, FrameFormat::Bgrx, bytes.data(), c.size);
        EXPECT_EQ(desktop.Pixel(1, 1), kGreen) << c.width << "x" << c.height << " " << c.stride;
    }
    // The last row needs no padding after it: two rows of stride 10 fit
    // in 18 bytes.
    const std::vector<std::uint8_t> white(18, 0xFF);
    desktop.SetFrame(0, 2, 2, 10, FrameFormat::Bgrx, white.data(), white.size());
    EXPECT_EQ(desktop.Pixel(1, 1), kWhite);
}

} // namespace
} // namespace tintorel

namespace tintorel {
namespace {

// Three monitors in a row, 100 units each, the middle one at scale 2:
// only the streams of monitors within reach of the pointer are needed.
TEST(DesktopFrames, OnlyMonitorsNearThePointerAreNeeded) {
    const struct {
        std::size_t on; // the monitor reporting the pointer
        int x, y;       // frame pixels
        std::vector<bool> needed;
    } cases[] = {
        {0, 50, 50, {true, false, false}},
        {0, 90, 50, {true, true, false}},  // 10 units from the seam: within reach
        {0, 89, 99, {true, false, false}}, // 11 units from it
        {1, 100, 100, {false, true, false}},
        {1, 18, 100, {true, true, false}}, // 9 units in: frame pixels are half units
        {1, 181, 100, {false, true, true}},
        {2, 0, 0, {false, true, true}},
        {2, 99, 99, {false, false, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "monitor " << c.on << " at " << c.x << "," << c.y);
        DesktopFrames desktop;
        desktop.SetMonitors(
            {Monitor(0, 0, 100, 100), Monitor(100, 0, 100, 100), Monitor(200, 0, 100, 100)});
        Fill(desktop, 0, 100, 100, kRed);
        Fill(desktop, 1, 200, 200, kGreen);
        Fill(desktop, 2, 100, 100, kBlue);
        // Before any stream reports the pointer, every one is needed.
        EXPECT_EQ(desktop.Needed(10), (std::vector<bool>{true, true, true}));
        desktop.SetPointer(c.on, true, c.x, c.y);
        EXPECT_EQ(desktop.Needed(10), c.needed);
    }
}

// A screen of the toolkit's, found among the monitors by its centre, in
// desktop pixels (the desktop on the grid of the scale-2 monitor).
TEST(DesktopFrames, TheMonitorUnderAScreen) {
    DesktopFrames desktop;
    desktop.SetMonitors({Monitor(-100, 0, 100, 100), Monitor(0, 0, 50, 40)});
    Fill(desktop, 0, 100, 100, kRed);
    Fill(desktop, 1, 100, 80, kGreen);
    const struct {
        LogicalRect screen;
        std::optional<LogicalRect> area;
    } cases[] = {
        {{0, 0, 50, 40}, LogicalRect{200, 0, 100, 80}},
        {{-100, 0, 100, 100}, LogicalRect{0, 0, 200, 200}},
        {{-10, 0, 40, 40}, LogicalRect{200, 0, 100, 80}}, // its centre on the second
        {{0, 50, 50, 40}, std::nullopt},                  // below the second: nothing
        {{60, 0, 50, 40}, std::nullopt},
        {{-200, 0, 100, 40}, std::nullopt}, // left of both
    };
    for (const auto& c : cases) {
        EXPECT_EQ(desktop.MonitorArea(c.screen), c.area) << c.screen.x << "," << c.screen.y;
    }
}

TEST(DesktopFrames, EveryMonitorIsNeededWhileOneIsNotSurelyPlaced) {
    DesktopFrames desktop;
    MonitorFrame guessed = Monitor(100, 0, 100, 100);
    guessed.sure = false;
    desktop.SetMonitors({Monitor(0, 0, 100, 100), guessed});
    Fill(desktop, 0, 100, 100, kRed);
    Fill(desktop, 1, 100, 100, kGreen);
    desktop.SetPointer(0, true, 10, 10);
    EXPECT_EQ(desktop.Needed(10), (std::vector<bool>{true, true}));
}

// A paused monitor's frame is old: not read, and awaited, until a frame
// comes after it is resumed; what it sends before that is dropped.
TEST(DesktopFrames, APausedMonitorIsReadAgainOnlyFromItsNextFrame) {
    DesktopFrames desktop;
    desktop.SetMonitors({Monitor(0, 0, 4, 4), Monitor(4, 0, 4, 4)});
    Fill(desktop, 0, 4, 4, kRed);
    Fill(desktop, 1, 4, 4, kGreen);
    desktop.SetPointer(1, true, 1, 1);
    desktop.Pause(1);
    EXPECT_FALSE(desktop.Pointer());
    desktop.SetPointer(1, true, 2, 2); // reports from before the pause took
    Fill(desktop, 1, 4, 4, kWhite);
    EXPECT_FALSE(desktop.Pointer());
    EXPECT_TRUE(desktop.PixelExists(3, 0));
    EXPECT_FALSE(desktop.Awaits(0, 0, 4, 4));
    EXPECT_FALSE(desktop.PixelExists(4, 0));
    EXPECT_TRUE(desktop.Awaits(3, 0, 2, 1));
    EXPECT_TRUE(desktop.Awaits(7, 3, 1, 1));
    EXPECT_FALSE(desktop.Awaits(8, 0, 3, 3)); // beyond the desktop
    EXPECT_EQ(desktop.Pixel(4, 0), 0u);
    EXPECT_EQ(desktop.Size(), (DesktopPoint{8, 4})); // the desktop keeps its shape
    desktop.Resume(1);
    EXPECT_TRUE(desktop.Awaits(4, 0, 1, 1)) << "until its next frame";
    Fill(desktop, 1, 4, 4, kBlue);
    EXPECT_TRUE(desktop.PixelExists(4, 0));
    EXPECT_FALSE(desktop.Awaits(0, 0, 8, 4));
    EXPECT_EQ(desktop.Pixel(4, 0), kBlue);
    desktop.SetPointer(1, true, 1, 1);
    EXPECT_TRUE(desktop.Pointer());
    desktop.Pause(7); // no such monitor: nothing happens
    desktop.Resume(7);
    EXPECT_EQ(desktop.Pixel(4, 0), kBlue);
}

} // namespace
} // namespace tintorel
