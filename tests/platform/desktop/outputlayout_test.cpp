#include "platform/desktop/outputlayout.h"

#include <gtest/gtest.h>

#include <limits>

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

// A region asked for as it is.
RegionRequest Asked(std::size_t output, LogicalRect region) {
    return {output, region, region};
}

// 640 × 480 units at scale 1, and beside it 640 × 600 units at scale 2:
// until a pointer is followed, the desktop is read at scale 2.
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
        {"inside the second output", 1919, 79, 3, 3, {Asked(1, {319, 39, 2, 2})}},
        {"across the seam", 1277, 77, 7, 7, {Asked(0, {638, 38, 2, 4}), Asked(1, {0, 38, 2, 4})}},
        {"below the shorter output", 1197, 955, 7, 7, {Asked(0, {598, 477, 4, 3})}},
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

// wlroots' turn of a box of an output `width` × `height` units (its
// wlr_box_transform), written as boxes.
LogicalRect WlrootsBox(OutputTurn turn, LogicalRect box, int width, int height) {
    const bool across = (static_cast<int>(turn) & 1) != 0;
    LogicalRect d{0, 0, across ? box.height : box.width, across ? box.width : box.height};
    switch (turn) {
    case OutputTurn::Normal:
        d.x = box.x, d.y = box.y;
        break;
    case OutputTurn::Turned90:
        d.x = height - box.y - box.height, d.y = box.x;
        break;
    case OutputTurn::Turned180:
        d.x = width - box.x - box.width, d.y = height - box.y - box.height;
        break;
    case OutputTurn::Turned270:
        d.x = box.y, d.y = width - box.x - box.width;
        break;
    case OutputTurn::Flipped:
        d.x = width - box.x - box.width, d.y = box.y;
        break;
    case OutputTurn::Flipped90:
        d.x = box.y, d.y = box.x;
        break;
    case OutputTurn::Flipped180:
        d.x = box.x, d.y = height - box.y - box.height;
        break;
    case OutputTurn::Flipped270:
        d.x = height - box.y - box.height, d.y = width - box.x - box.width;
        break;
    }
    return d;
}

// The turn that undoes `turn` (wlr_output_transform_invert).
OutputTurn Undoing(OutputTurn turn) {
    return turn == OutputTurn::Turned90    ? OutputTurn::Turned270
           : turn == OutputTurn::Turned270 ? OutputTurn::Turned90
                                           : turn;
}

// A colour for each unit of an output.
std::uint32_t UnitColour(int u, int v) {
    return static_cast<std::uint32_t>(0x102030 + u * 16 + v);
}

void Put(CopiedRegion& copied, int x, int y, std::uint32_t c) {
    std::uint8_t* p = copied.bytes.data() + y * copied.stride + x * 4;
    p[0] = static_cast<std::uint8_t>(c >> 16);
    p[1] = static_cast<std::uint8_t>(c >> 8);
    p[2] = static_cast<std::uint8_t>(c);
}

// A compositor's output of `width` × `height` units at a whole scale,
// turned, showing `colour` for each unit: its pixels hold the picture
// turned back (wlroots renders with the undoing turn), and a copy of a
// box takes the pixels where the compositor turns the box, rightly or
// (wlroots before 0.16) the wrong way.
struct TurnedCompositor {
    OutputTurn turn;
    int width;
    int height;
    int scale;
    bool wrongly;
    std::uint32_t (*colour)(int, int);

    CopiedRegion Copy(const RegionRequest& request) const {
        const LogicalRect box =
            WlrootsBox(wrongly ? turn : Undoing(turn), request.asked, width, height);
        CopiedRegion copied =
            Copied(request.output, request.region, box.width * scale, box.height * scale, 0);
        for (int u = 0; u < width; ++u) {
            for (int v = 0; v < height; ++v) {
                const LogicalRect unit = WlrootsBox(Undoing(turn), {u, v, 1, 1}, width, height);
                if (unit.x < box.x || unit.y < box.y || unit.x >= box.x + box.width ||
                    unit.y >= box.y + box.height) {
                    continue;
                }
                for (int dy = 0; dy < scale; ++dy) {
                    for (int dx = 0; dx < scale; ++dx) {
                        Put(copied, (unit.x - box.x) * scale + dx, (unit.y - box.y) * scale + dy,
                            colour(u, v));
                    }
                }
            }
        }
        return copied;
    }
};

// Beside an output turned a quarter round, still being learnt about, the
// region of an unturned neighbour is read as it is.
TEST(OutputLayout, AWholeCopyStandsInOnlyForItsOwnOutput) {
    const TurnedCompositor compositor{OutputTurn::Turned90, 8, 6, 1, true, UnitColour};
    OutputLayout layout;
    layout.SetOutputs({{{0, 0, 4, 6}, 1.0}, {{4, 0, 8, 6}, 1.0, OutputTurn::Turned90}});
    layout.FollowPointer(4.5, 3.5);
    const std::vector<RegionRequest> requests = layout.RegionsFor(3, 2, 3, 3);
    ASSERT_EQ(requests.size(), 3u);
    std::vector<CopiedRegion> copies;
    for (const RegionRequest& request : requests) {
        copies.push_back(request.output == 0 ? Copied(0, request.region, request.region.width,
                                                      request.region.height, kRed)
                                             : compositor.Copy(request));
    }
    layout.SetCopied(copies);
    for (int y = 2; y < 5; ++y) {
        EXPECT_EQ(layout.Pixel(3, y), kRed) << y;
        EXPECT_EQ(layout.Pixel(4, y), UnitColour(0, y)) << y;
        EXPECT_EQ(layout.Pixel(5, y), UnitColour(1, y)) << y;
    }
}

// A turned output's copy comes in the output's own orientation: every
// pixel of every turn reads back as the unit it shows, at scale 1 and 2,
// upside down or not.
TEST(OutputLayout, TurnedCopiesReadTheRightWayRound) {
    for (int t = 0; t < 8; ++t) {
        for (const int scale : {1, 2}) {
            for (const bool inverted : {false, true}) {
                const auto turn = static_cast<OutputTurn>(t);
                const TurnedCompositor compositor{turn, 4, 3, scale, false, UnitColour};
                OutputLayout layout;
                layout.SetOutputs({{{0, 0, 4, 3}, static_cast<double>(scale), turn}});
                CopiedRegion copied = compositor.Copy(Asked(0, {0, 0, 4, 3}));
                if (inverted) {
                    // Rows bottom first, as the compositor may hand them.
                    CopiedRegion flipped = copied;
                    for (int y = 0; y < copied.height; ++y) {
                        std::copy_n(copied.bytes.begin() + y * copied.stride, copied.stride,
                                    flipped.bytes.begin() +
                                        (copied.height - 1 - y) * copied.stride);
                    }
                    copied = flipped;
                    copied.yInverted = true;
                }
                layout.SetCopied({copied});
                for (int x = 0; x < 4 * scale; ++x) {
                    for (int y = 0; y < 3 * scale; ++y) {
                        EXPECT_EQ(layout.Pixel(x, y), UnitColour(x / scale, y / scale))
                            << "turn " << t << ", scale " << scale << ", inverted " << inverted
                            << ", pixel " << x << "," << y;
                    }
                }
            }
        }
    }
}

std::uint32_t OneColour(int, int) {
    return kBlue;
}

// Compositors differ in where they copy a region of an output turned a
// quarter round; the whole output they all copy alike. Until a reading
// shows which kind this one is, the whole turned output is copied beside
// the region and read; then only the region, asked for where this
// compositor finds it. A picture of one colour shows nothing and decides
// nothing.
TEST(OutputLayout, WhereACompositorCopiesATurnedRegionIsLearnt) {
    for (const OutputTurn turn : {OutputTurn::Turned90, OutputTurn::Turned270}) {
        for (const bool wrongly : {false, true}) {
            for (const bool uniform : {false, true}) {
                const TurnedCompositor compositor{turn, 8,       6,
                                                  2,    wrongly, uniform ? OneColour : UnitColour};
                const std::string what =
                    std::string("turn ") + std::to_string(static_cast<int>(turn)) +
                    (wrongly ? ", wrongly" : ", rightly") + (uniform ? ", one colour" : "");
                OutputLayout layout;
                layout.SetOutputs({{{0, 0, 8, 6}, 2.0, turn}});
                for (int reading = 0; reading < 2; ++reading) {
                    const std::vector<RegionRequest> requests = layout.RegionsFor(2, 3, 3, 3);
                    const bool known = layout.TurnsRegionsWrongly().has_value();
                    ASSERT_EQ(requests.size(), known ? 1u : 2u) << what;
                    std::vector<CopiedRegion> copies;
                    for (const RegionRequest& request : requests) {
                        copies.push_back(compositor.Copy(request));
                    }
                    layout.SetCopied(copies);
                    for (int x = 2; x < 5; ++x) {
                        for (int y = 3; y < 6; ++y) {
                            EXPECT_EQ(layout.Pixel(x, y), compositor.colour(x / 2, y / 2))
                                << what << ", reading " << reading << ", pixel " << x << "," << y;
                        }
                    }
                    EXPECT_EQ(layout.TurnsRegionsWrongly(),
                              uniform ? std::nullopt : std::optional<bool>(wrongly))
                        << what;
                }
            }
        }
    }
}

// At scale 1.5 a unit is one and a half pixels: the regions asked for
// begin and end on every second unit, where pixels begin, and each device
// pixel reads its own column of the copy.
TEST(OutputLayout, FractionalScalesAreCopiedInWholePixels) {
    OutputLayout layout;
    layout.SetOutputs({{{0, 0, 1280, 720}, 1.5}, {{1280, 0, 800, 600}, 1.25}});
    layout.FollowPointer(10, 10);
    const std::vector<RegionRequest> regions = layout.RegionsFor(4, 4, 3, 3);
    ASSERT_EQ(regions, (std::vector<RegionRequest>{Asked(0, {2, 2, 4, 4})}));
    // Units 2..6 are device pixels 3..9; each column its own colour.
    CopiedRegion copied = Copied(0, regions[0].region, 6, 6, 0);
    for (int x = 0; x < 6; ++x) {
        for (int y = 0; y < 6; ++y) {
            copied.bytes[y * copied.stride + x * 4] = static_cast<std::uint8_t>(x + 1);
        }
    }
    layout.SetCopied({copied});
    for (int x = 3; x < 9; ++x) {
        EXPECT_EQ(layout.Pixel(x, 5), static_cast<std::uint32_t>(x - 2) << 16) << x;
    }
    // At 1.25, every fourth unit, also where the division falls a hair
    // short of a unit's edge (pixel 20 begins unit 16); clamped to the
    // output's edge.
    OutputLayout quarter;
    quarter.SetOutputs({{{0, 0, 800, 600}, 1.25}});
    EXPECT_EQ(quarter.RegionsFor(20, 20, 3, 3),
              (std::vector<RegionRequest>{Asked(0, {16, 16, 4, 4})}));
    layout.FollowPointer(1300, 10);
    const DesktopPoint at = layout.ToDevice(2077.5, 598.5);
    EXPECT_EQ(layout.RegionsFor(at.x - 1, at.y - 1, 3, 3),
              (std::vector<RegionRequest>{Asked(1, {796, 596, 4, 4})}));
}

// On the scale-1 output next to a scale-2 one, the 3 × 3 square at its
// last column covers two of its own pixels and the one of its neighbour
// under the third pixel's centre.
TEST(OutputLayout, ASquareAtTheSeamCoversThePointersOutputsPixels) {
    OutputLayout layout = TwoOutputs();
    layout.FollowPointer(639.5, 40.5);
    const DesktopPoint pointer = layout.ToDevice(639.5, 40.5);
    ASSERT_EQ(pointer, (DesktopPoint{639, 40}));
    EXPECT_EQ(layout.RegionsFor(638, 39, 3, 3),
              (std::vector<RegionRequest>{Asked(0, {638, 39, 2, 3}), Asked(1, {0, 39, 1, 3})}));
    // The neighbour's copy: its left column blue, its right one red.
    CopiedRegion right = Copied(1, {0, 39, 1, 3}, 2, 6, kRed);
    for (int y = 0; y < 6; ++y) {
        right.bytes[y * right.stride] = 0xFF, right.bytes[y * right.stride + 2] = 0;
    }
    layout.SetCopied({Copied(0, {638, 39, 2, 3}, 2, 3, kBlue), right});
    EXPECT_EQ(layout.Pixel(638, 40), kBlue);
    EXPECT_EQ(layout.Pixel(639, 40), kBlue);
    EXPECT_EQ(layout.Pixel(640, 40), kRed);
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
    // Outputs at the ends of the ints ask for regions within themselves.
    OutputLayout far;
    constexpr int kMost = std::numeric_limits<int>::max();
    far.SetOutputs({{{0, 0, 10, 10}, 1.0}, {{kMost - 10, 0, 10, 10}, 1.0}});
    far.FollowPointer(kMost - 5.0, 5.0);
    const DesktopPoint at = far.ToDevice(kMost - 5.0, 5.0);
    for (const RegionRequest& request : far.RegionsFor(at.x - 3, at.y - 3, 7, 7)) {
        EXPECT_GE(request.region.x, 0);
        EXPECT_LE(request.region.x + request.region.width, 10);
    }
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
