#include "platform/desktop/logicaldesktop.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>

namespace tintorel {

std::ostream& operator<<(std::ostream& out, const DesktopPoint& p) {
    return out << "(" << p.x << ", " << p.y << ")";
}

std::ostream& operator<<(std::ostream& out, const LogicalRect& r) {
    return out << "(" << r.x << ", " << r.y << ", " << r.width << " x " << r.height << ")";
}

namespace {

// 640 × 480 units at scale 1, and beside it 640 × 600 units at scale 2.
LogicalDesktop TwoOutputs() {
    LogicalDesktop desktop;
    desktop.SetOutputs({{{0, 0, 640, 480}, 1.0}, {{640, 0, 640, 600}, 2.0}});
    return desktop;
}

// The picture lies on the grid of the output under the pointer: there
// every device pixel is one of that screen's pixels, whichever scale the
// others have. Between outputs the grid stays; before any pointer, the
// sharpest output's grid serves.
TEST(LogicalDesktop, ThePictureLiesOnTheGridOfTheOutputUnderThePointer) {
    const struct {
        const char* what;
        std::vector<LogicalPoint> pointer;
        double scale;
        DesktopPoint size;
        LogicalPoint probe;
        DesktopPoint device;
    } cases[] = {
        {"no pointer yet", {}, 2.0, {2560, 1200}, {640.25, 40}, {1280, 80}},
        {"on the scale-1 output", {{100, 40}}, 1.0, {1280, 600}, {639.5, 40}, {639, 40}},
        {"its neighbour's pixel", {{100, 40}}, 1.0, {1280, 600}, {640.75, 40}, {640, 40}},
        {"on the scale-2 output",
         {{100, 40}, {700, 40}},
         2.0,
         {2560, 1200},
         {700.25, 40},
         {1400, 80}},
        {"then below the shorter one",
         {{700, 40}, {100, 550}},
         2.0,
         {2560, 1200},
         {639.5, 0},
         {1279, 0}},
    };
    for (const auto& c : cases) {
        LogicalDesktop desktop = TwoOutputs();
        for (const LogicalPoint& p : c.pointer) {
            desktop.FollowPointer(p.x, p.y);
        }
        EXPECT_EQ(desktop.Scale(), c.scale) << c.what;
        EXPECT_EQ(desktop.Size(), c.size) << c.what;
        const DesktopPoint device = desktop.ToDevice(c.probe.x, c.probe.y);
        EXPECT_EQ(device, c.device) << c.what;
        // The device pixel's centre lies within the pixel the probe hit.
        const LogicalPoint centre = desktop.ToLogical(device.x, device.y);
        EXPECT_EQ(desktop.ToDevice(centre.x, centre.y), device) << c.what;
        EXPECT_NEAR(centre.x, c.probe.x, 0.5 / c.scale) << c.what;
    }
}

// Outputs left of and above the first one, at fractional and mixed scales:
// the desktop's top-left is device pixel (0, 0) on every grid, and its
// bottom-right corner lies inside the size.
TEST(LogicalDesktop, EdgesLandOnTheFirstAndLastPixel) {
    const std::vector<OutputPlace> outputs = {
        {{-101, -50, 101, 100}, 1.0}, {{0, 0, 1280, 720}, 1.5}, {{1280, 0, 853, 480}, 1.25}};
    const struct {
        LogicalPoint pointer;
        double scale;
        DesktopPoint size;
    } cases[] = {
        {{-50, -25}, 1.0, {2234, 770}},
        {{10, 10}, 1.5, {3352, 1155}},
        {{1300, 10}, 1.25, {2794, 963}},
    };
    for (const auto& c : cases) {
        LogicalDesktop desktop;
        desktop.SetOutputs(outputs);
        desktop.FollowPointer(c.pointer.x, c.pointer.y);
        EXPECT_EQ(desktop.Scale(), c.scale);
        EXPECT_EQ(desktop.Size(), c.size) << c.scale;
        EXPECT_EQ(desktop.ToDevice(-101, -50), (DesktopPoint{0, 0})) << c.scale;
        const DesktopPoint last = desktop.ToDevice(2133 - 1e-6, 720 - 1e-6);
        EXPECT_EQ(last, (DesktopPoint{c.size.x - 1, c.size.y - 1})) << c.scale;
    }
}

// The whole units around a few device pixels: what a compositor is asked
// to copy.
TEST(LogicalDesktop, TheUnitsAroundDevicePixels) {
    LogicalDesktop desktop = TwoOutputs();
    desktop.FollowPointer(700, 40);
    const struct {
        const char* what;
        int left, top, width, height;
        LogicalRect around;
    } cases[] = {
        {"3 x 3 at scale 2", 1919, 79, 3, 3, {959, 39, 2, 2}},
        {"on a unit's edge", 1280, 80, 2, 2, {640, 40, 1, 1}},
        {"across the seam", 1277, 77, 7, 7, {638, 38, 4, 4}},
        {"nothing", 10, 10, 0, 3, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(desktop.Around(c.left, c.top, c.width, c.height), c.around) << c.what;
    }
    desktop.FollowPointer(100, 40);
    EXPECT_EQ(desktop.Around(638, 39, 3, 3), (LogicalRect{638, 39, 3, 3}));
}

// Outputs of no size, or of a scale that is no number or none a screen
// has, cover nothing; a transform a compositor should not send is no turn;
// with no outputs at all the picture is empty and nothing divides by zero.
TEST(LogicalDesktop, MalformedOutputsCoverNothing) {
    LogicalDesktop desktop;
    desktop.SetOutputs({{{0, 0, 10, 10}, 1.0},
                        {{10, 0, 0, 10}, 1.0},
                        {{20, 0, 10, 10}, -1.0},
                        {{30, 0, 10, 10}, std::numeric_limits<double>::quiet_NaN()},
                        {{40, 0, 10, 10}, 1e-9}});
    EXPECT_EQ(desktop.Size(), (DesktopPoint{10, 10}));
    for (const double x : {10.5, 25.0, 35.0, 45.0}) {
        EXPECT_FALSE(desktop.OutputAt(x, 5)) << x;
        desktop.FollowPointer(x, 5);
        EXPECT_EQ(desktop.Scale(), 1.0) << x;
    }
    EXPECT_EQ(desktop.OutputAt(9.9, 9.9), std::optional<std::size_t>(0));
    // Outputs at the ends of the ints: every position stays a number
    // (the sanitizer build checks that no sum overflows).
    constexpr int kMost = std::numeric_limits<int>::max();
    constexpr int kLeast = std::numeric_limits<int>::min();
    desktop.SetOutputs(
        {{{kLeast, kLeast, 100, 100}, 2.0}, {{kMost - 10, kMost - 10, 10, 10}, 1.5}});
    for (const LogicalPoint p :
         {LogicalPoint{kLeast + 5.0, kLeast + 5.0}, LogicalPoint{kMost - 5.0, kMost - 5.0}}) {
        desktop.FollowPointer(p.x, p.y);
        const DesktopPoint size = desktop.Size();
        const DesktopPoint at = desktop.ToDevice(p.x, p.y);
        EXPECT_GE(at.x, 0);
        EXPECT_LE(at.x, size.x);
        EXPECT_GE(desktop.Around(at.x - 3, at.y - 3, 7, 7).width, 0);
    }
    desktop.SetOutputs({});
    EXPECT_EQ(desktop.Size(), (DesktopPoint{0, 0}));
    EXPECT_EQ(desktop.Scale(), 1.0);
    EXPECT_EQ(TurnOf(-1), OutputTurn::Normal);
    EXPECT_EQ(TurnOf(8), OutputTurn::Normal);
    EXPECT_EQ(TurnOf(7), OutputTurn::Flipped270);
}

// Where the top-left unit of a region 4 units wide and 2 high lies in a
// copy taken from a turned output: the output's pixels hold the picture
// turned back (wl_output.transform turns counter-clockwise, the flipped
// ones mirrored first), so at 90 degrees the top-left corner lies at the
// bottom-left.
TEST(IntoCopy, TheRegionsCornerInEveryTurn) {
    const struct {
        OutputTurn turn;
        LogicalPoint corner; // the centre of the top-left unit, in the copy
    } cases[] = {
        {OutputTurn::Normal, {0.5, 0.5}},     {OutputTurn::Turned90, {0.5, 3.5}},
        {OutputTurn::Turned180, {3.5, 1.5}},  {OutputTurn::Turned270, {1.5, 0.5}},
        {OutputTurn::Flipped, {3.5, 0.5}},    {OutputTurn::Flipped90, {0.5, 0.5}},
        {OutputTurn::Flipped180, {0.5, 1.5}}, {OutputTurn::Flipped270, {1.5, 3.5}},
    };
    for (const auto& c : cases) {
        const LogicalPoint at = IntoCopy(c.turn, 0.5, 0.5, 4, 2);
        EXPECT_EQ(at.x, c.corner.x) << static_cast<int>(c.turn);
        EXPECT_EQ(at.y, c.corner.y) << static_cast<int>(c.turn);
        // Every point of the region lands inside the copy.
        const bool across = (static_cast<int>(c.turn) & 1) != 0;
        const LogicalPoint far = IntoCopy(c.turn, 3.75, 1.75, 4, 2);
        EXPECT_GT(far.x, 0);
        EXPECT_LT(far.x, across ? 2 : 4);
        EXPECT_GT(far.y, 0);
        EXPECT_LT(far.y, across ? 4 : 2);
    }
}

} // namespace
} // namespace tintorel
