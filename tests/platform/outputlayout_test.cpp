#include "platform/outputlayout.h"

#include <gtest/gtest.h>

namespace tintorel {
namespace {

constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kBlue = 0xFF0000;

// A copied region of one colour, `width` × `height` pixels in BGRx with
// one pixel of padding at each row's end; the top row `top` when given.
CopiedRegion Copied(std::size_t output, LogicalRect region, int width, int height,
                    std::uint32_t colour, std::optional<std::uint32_t> top = std::nullopt) {
    CopiedRegion copied;
    copied.output = output;
    copied.region = region;
    copied.width = width;
    copied.height = height;
    copied.stride = (width + 1) * 4;
    copied.bytes.assign(static_cast<std::size_t>(copied.stride) * height, 0x77);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t c = y == 0 && top ? *top : colour;
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = copied.bytes.data() + y * copied.stride + x * 4;
            p[0] = static_cast<std::uint8_t>(c >> 16);
            p[1] = static_cast<std::uint8_t>(c >> 8);
            p[2] = static_cast<std::uint8_t>(c);
        }
    }
    return copied;
}

// 640 × 480 units at scale 1, and beside it 640 × 600 units at scale 2:
// the desktop is read at scale 2.
OutputLayout TwoOutputs() {
    OutputLayout layout;
    layout.SetOutputs({{{0, 0, 640, 480}, 1.0}, {{640, 0, 640, 600}, 2.0}});
    return layout;
}

TEST(OutputLayout, TheDesktopIsReadAtTheLargestScale) {
    const OutputLayout layout = TwoOutputs();
    EXPECT_EQ(layout.Scale(), 2.0);
    EXPECT_EQ(layout.Size(), (DesktopPoint{2560, 1200}));
    EXPECT_EQ(layout.ToDevice(640.25, 40.0), (DesktopPoint{1280, 80}));
    // Outputs left of and above the origin shift the desktop.
    OutputLayout shifted;
    shifted.SetOutputs({{{-100, -50, 100, 100}, 1.0}, {{0, 0, 200, 100}, 1.0}});
    EXPECT_EQ(shifted.Size(), (DesktopPoint{300, 150}));
    EXPECT_EQ(shifted.ToDevice(0, 0), (DesktopPoint{100, 50}));
}

// The regions to copy are whole units on each output the area touches,
// clamped to the output: a compositor may not clip them itself.
TEST(OutputLayout, RegionsAreClampedToEachOutput) {
    const OutputLayout layout = TwoOutputs();
    const struct {
        const char* what;
        int left, top, width, height;
        std::vector<RegionRequest> expected;
    } cases[] = {
        {"inside the second output", 1919, 79, 3, 3, {{1, {319, 39, 2, 2}}}},
        {"across the seam", 1277, 77, 7, 7, {{0, {638, 38, 2, 4}}, {1, {0, 38, 2, 4}}}},
        {"below the shorter output", 1197, 955, 7, 7, {{0, {598, 477, 4, 3}}}},
        {"beyond every output", 2600, 0, 7, 7, {}},
        {"empty", 10, 10, 0, 5, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(layout.RegionsFor(c.left, c.top, c.width, c.height), c.expected) << c.what;
    }
}

// Pixels map through each output's own scale into its copy; pixels that
// lie on no output, or were not copied, do not exist and read black.
TEST(OutputLayout, PixelsComeFromTheCopyUnderThem) {
    OutputLayout layout = TwoOutputs();
    // Two units of the first output (two pixels), four of the second
    // (eight pixels, its top row red).
    layout.SetCopied(
        {Copied(0, {638, 38, 2, 4}, 2, 4, kBlue), Copied(1, {0, 38, 2, 4}, 4, 8, kBlue, kRed)});
    const struct {
        int x, y;
        bool exists;
        std::uint32_t colour;
    } cases[] = {
        {1276, 76, true, kBlue}, {1279, 83, true, kBlue}, {1280, 76, true, kRed},
        {1283, 76, true, kRed},  {1280, 77, true, kBlue}, {1284, 76, false, 0},
        {1275, 76, false, 0},    {1280, 75, false, 0},    {1276, 84, false, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(layout.PixelExists(c.x, c.y), c.exists) << c.x << "," << c.y;
        EXPECT_EQ(layout.Pixel(c.x, c.y), c.colour) << c.x << "," << c.y;
    }
    layout.ClearCopied();
    EXPECT_FALSE(layout.PixelExists(1280, 77));
}

// A copy that comes bottom row first reads the right way up.
TEST(OutputLayout, YInvertedCopies) {
    OutputLayout layout;
    layout.SetOutputs({{{0, 0, 10, 10}, 1.0}});
    CopiedRegion copied = Copied(0, {0, 0, 2, 2}, 2, 2, kBlue, kRed);
    copied.yInverted = true;
    layout.SetCopied({copied});
    EXPECT_EQ(layout.Pixel(0, 0), kBlue);
    EXPECT_EQ(layout.Pixel(0, 1), kRed);
}

// What a compositor sends cannot make a read go astray: copies too short
// for their size, of no size or for an output that is not there are
// dropped; outputs of no size or of a scale that is no number cover
// nothing.
TEST(OutputLayout, MalformedInputIsDropped) {
    OutputLayout layout;
    layout.SetOutputs({{{0, 0, 10, 10}, 1.0}, {{10, 0, 0, 10}, 1.0}, {{20, 0, 10, 10}, -1.0}});
    EXPECT_EQ(layout.Size(), (DesktopPoint{10, 10}));
    EXPECT_TRUE(layout.RegionsFor(10, 0, 20, 10).empty());
    CopiedRegion shortOne = Copied(0, {0, 0, 2, 2}, 2, 2, kRed);
    shortOne.bytes.resize(shortOne.bytes.size() - 5);
    CopiedRegion narrow = Copied(0, {0, 0, 2, 2}, 2, 2, kRed);
    narrow.stride = 4;
    CopiedRegion elsewhere = Copied(7, {0, 0, 2, 2}, 2, 2, kRed);
    CopiedRegion empty = Copied(0, {0, 0, 0, 2}, 2, 2, kRed);
    layout.SetCopied({shortOne, narrow, elsewhere, empty});
    EXPECT_FALSE(layout.PixelExists(0, 0));
    // Exactly long enough: the last row without its padding.
    CopiedRegion exact = Copied(0, {0, 0, 2, 2}, 2, 2, kRed);
    exact.bytes.resize(exact.bytes.size() - 4);
    layout.SetCopied({exact});
    EXPECT_EQ(layout.Pixel(1, 1), kRed);
}

// Every transform turns the mode or leaves it; a logical place from the
// compositor wins and sets the scale, even a fractional one.
TEST(PlaceOutput, TurnedScaledAndLogicalOutputs) {
    const LogicalRect halfHd{0, 0, 540, 960};
    const struct {
        std::optional<LogicalRect> logical;
        int modeWidth;
        int modeHeight;
        std::int32_t transform;
        std::int32_t scale;
        LogicalRect area;
        double ratio;
    } cases[] = {
        {std::nullopt, 1920, 1080, 0, 1, {5, 7, 1920, 1080}, 1.0},
        {std::nullopt, 1920, 1080, 1, 1, {5, 7, 1080, 1920}, 1.0}, // 90 degrees
        {std::nullopt, 1920, 1080, 2, 1, {5, 7, 1920, 1080}, 1.0}, // 180
        {std::nullopt, 1920, 1080, 3, 1, {5, 7, 1080, 1920}, 1.0}, // 270
        {std::nullopt, 1920, 1080, 4, 1, {5, 7, 1920, 1080}, 1.0}, // flipped
        {std::nullopt, 1920, 1080, 5, 1, {5, 7, 1080, 1920}, 1.0}, // flipped, 90
        {std::nullopt, 2560, 1600, 0, 2, {5, 7, 1280, 800}, 2.0},
        {std::nullopt, 2560, 1600, 1, 2, {5, 7, 800, 1280}, 2.0},
        {std::nullopt, 1920, 1080, 0, 0, {5, 7, 1920, 1080}, 1.0}, // a scale below 1
        {halfHd, 1920, 1080, 1, 2, halfHd, 2.0},
        {LogicalRect{100, 0, 1280, 720}, 1920, 1080, 0, 2, {100, 0, 1280, 720}, 1.5},
    };
    for (const auto& c : cases) {
        OutputReport report;
        report.logical = c.logical;
        report.x = 5;
        report.y = 7;
        report.modeWidth = c.modeWidth;
        report.modeHeight = c.modeHeight;
        report.transform = c.transform;
        report.scale = c.scale;
        const OutputPlace place = PlaceOutput(report);
        EXPECT_EQ(place.area, c.area) << c.transform << " " << c.scale;
        EXPECT_DOUBLE_EQ(place.scale, c.ratio) << c.transform << " " << c.scale;
    }
}

TEST(FrameFormatOfShm, EveryByteOrderAndNothingElse) {
    const struct {
        std::uint32_t format;
        std::optional<FrameFormat> ours;
    } cases[] = {
        {0, FrameFormat::Bgrx},          {1, FrameFormat::Bgrx},
        {0x34324241, FrameFormat::Rgbx}, {0x34324258, FrameFormat::Rgbx},
        {0x34324152, FrameFormat::Xbgr}, {0x34325852, FrameFormat::Xbgr},
        {0x34324142, FrameFormat::Xrgb}, {0x34325842, FrameFormat::Xrgb},
        {0x36314752, std::nullopt}, // RGB565
        {0x30335241, std::nullopt}, // ARGB2101010
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FrameFormatOfShm(c.format), c.ours) << std::hex << c.format;
    }
}

} // namespace
} // namespace tintorel
