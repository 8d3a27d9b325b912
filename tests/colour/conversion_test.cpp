#include "colortest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>

namespace tintorel {
namespace {

constexpr float k128 = 128.0f / 255.0f;
constexpr float k127 = 127.0f / 255.0f;

using Factory = std::function<std::unique_ptr<BColor>()>;

struct ColourClass {
    const char* name;
    Factory make;
};

const ColourClass kClasses[] = {
    {"RGB", [] { return std::make_unique<BColorRgb>(0.f, 0.f, 0.f); }},
    {"HLS", [] { return std::make_unique<BColorHls>(0.f, 0.f, 0.f); }},
    {"HSV", [] { return std::make_unique<BColorHsv>(0.f, 0.f, 0.f); }},
    {"CMY", [] { return std::make_unique<BColorCmy>(0.f, 0.f, 0.f); }},
    {"CMYK", [] { return std::make_unique<BColorCmyk>(0.f, 0.f, 0.f, 0.f); }},
};

void ExpectComponents(const BColor& colour, const std::vector<float>& expected,
                      const std::string& where) {
    const std::vector<float> actual = Components(colour);
    ASSERT_EQ(actual.size(), expected.size()) << where;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-4) << where << ", component " << i;
    }
}

// Each row: a packed colour and what every class makes of it.
TEST(FromColor, WorkedValues) {
    const struct {
        PackedColor packed;
        std::vector<float> byClass[5];
    } cases[] = {
        {0x000080FF,
         {{1, k128, 0},
          {30.1176f, 0.5f, 1},
          {30.1176f, 1, 1},
          {0, 1 - k128, 1},
          {0, 1 - k128, 1, 0}}},
        {0x00808080,
         {{k128, k128, k128}, {0, k128, 0}, {-1, 0, k128}, {k127, k127, k127}, {0, 0, 0, k127}}},
        {0x00000000, {{0, 0, 0}, {0, 0, 0}, {-1, 0, 0}, {1, 1, 1}, {0, 0, 0, 1}}},
        {0x00FFFFFF, {{1, 1, 1}, {0, 1, 0}, {-1, 0, 1}, {0, 0, 0}, {0, 0, 0, 0}}},
        {0x00FF0000, {{0, 0, 1}, {240, 0.5f, 1}, {240, 1, 1}, {1, 1, 0}, {1, 1, 0, 0}}},
        {0x0000FF00, {{0, 1, 0}, {120, 0.5f, 1}, {120, 1, 1}, {1, 0, 1}, {1, 0, 1, 0}}},
        // Red and green tie for the maximum: the red branch gives hue 60.
        {0x0000FFFF, {{1, 1, 0}, {60, 0.5f, 1}, {60, 1, 1}, {0, 0, 1}, {0, 0, 1, 0}}},
        // Magenta-ish: the red branch with a negative hue raised by 360.
        {0x00400080,
         {{k128, 0, 64 / 255.f},
          {330, 64 / 255.f, 1},
          {330, 1, k128},
          {1 - k128, 1, 1 - 64 / 255.f},
          {0, 1, 0.5f, 1 - k128}}},
    };
    for (const auto& c : cases) {
        for (std::size_t k = 0; k < std::size(kClasses); ++k) {
            auto colour = kClasses[k].make();
            colour->FromColor(c.packed);
            const std::string where =
                std::string(kClasses[k].name) + " of " + std::to_string(c.packed);
            ExpectComponents(*colour, c.byClass[k], where);
            EXPECT_EQ(colour->ToColor(), c.packed) << where;
        }
    }
}

TEST(FromColor, IgnoresTheTopByte) {
    for (const auto& cls : kClasses) {
        auto plain = cls.make();
        auto flagged = cls.make();
        plain->FromColor(0x000080FF);
        flagged->FromColor(0xFF0080FF);
        EXPECT_EQ(Components(*plain), Components(*flagged)) << cls.name;
    }
}

// Every packed colour survives the way into each space and back. A stride
// coprime to 256 visits every value of every channel.
TEST(FromColor, PackedColoursRoundTripThroughEverySpace) {
    for (const auto& cls : kClasses) {
        auto colour = cls.make();
        int failures = 0;
        for (PackedColor packed = 0; packed <= 0xFFFFFF && failures < 5; packed += 7) {
            colour->FromColor(packed);
            if (colour->ToColor() != packed) {
                ADD_FAILURE() << cls.name << " loses " << std::hex << packed << " -> "
                              << colour->ToColor();
                ++failures;
            }
        }
    }
}

TEST(ToColor, KeepsTheLowByteOfEachRoundedChannel) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float red;
        PackedColor packed;
    } cases[] = {
        {1.5f, 127},   // 383 wraps around
        {-0.001f, 0},  // -0.255 + 0.5 still truncates to 0
        {-0.01f, 254}, // -2.05 truncates to -2
        {0.5f, 128},   // 128 exactly, the half rounds up
        {1.0f, 255},   {nan, 0}, {inf, 0}, {-inf, 0}, {1e30f, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BColorRgb(c.red, 0, 0).ToColor(), c.packed) << c.red;
        EXPECT_EQ(BColorRgb(0, 0, c.red).ToColor(), c.packed << 16) << c.red;
    }
}

TEST(Hls, HlsToRgbWrapsTheHue) {
    const struct {
        float hue;
        PackedColor packed;
    } cases[] = {
        {0, 0x0000FF},   {360, 0x0000FF}, {720, 0x0000FF}, {-30, 0x8000FF},
        {330, 0x8000FF}, {120, 0x00FF00}, {240, 0xFF0000}, {480, 0x00FF00},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BColorHls(c.hue, 0.5f, 1).ToColor(), c.packed) << "hue " << c.hue;
    }
}

TEST(Hls, GreyWithinTheTolerance) {
    // Channels that differ by less than 1e-7 make a grey for HLS, while HSV
    // only takes an exact zero difference as grey.
    const float a = 0.25f;
    const float b = std::nextafter(a, 1.0f);
    BColorHls hls(99, 99, 99);
    hls.FromRgb(a, b, a);
    EXPECT_EQ(hls.Hue(), 0);
    EXPECT_EQ(hls.Saturation(), 0);
    EXPECT_NEAR(hls.Lightness(), 0.25f, 1e-7);
    BColorHsv hsv(99, 99, 99);
    hsv.FromRgb(a, b, a);
    EXPECT_NE(hsv.Hue(), BColorHsv::kUndefinedHue);
    EXPECT_GT(hsv.Saturation(), 0);
}

TEST(Hls, SaturationZeroGivesLightnessWhateverTheHue) {
    float r = 0, g = 0, b = 0;
    BColorHls(200, 0.3f, 0).ToRgb(r, g, b);
    EXPECT_EQ(r, 0.3f);
    EXPECT_EQ(g, 0.3f);
    EXPECT_EQ(b, 0.3f);
}

TEST(Hsv, HsvToRgbBySector) {
    const struct {
        float hue;
        float saturation;
        PackedColor packed;
    } cases[] = {
        {0, 1, 0x0000FF},   {60, 1, 0x00FFFF},  {120, 1, 0x00FF00}, {180, 1, 0xFFFF00},
        {240, 1, 0xFF0000}, {300, 1, 0xFF00FF}, {360, 1, 0x0000FF}, {725, 1, 0x0015FF},
        {5, 1, 0x0015FF},   {-30, 1, 0x8000FF}, {330, 1, 0x8000FF}, {-1, 0, 0xFFFFFF},
        {123, 0, 0xFFFFFF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BColorHsv(c.hue, c.saturation, 1).ToColor(), c.packed) << "hue " << c.hue;
    }
}

TEST(Cmyk, InkIsCappedFromAboveOnly) {
    float r = 0, g = 0, b = 0;
    BColorCmyk(-0.5f, 2, 0, 0).ToRgb(r, g, b);
    EXPECT_FLOAT_EQ(r, 1.5f); // negative ink lifts the channel above 1
    EXPECT_FLOAT_EQ(g, 0.0f); // more than full ink stops at none
    EXPECT_FLOAT_EQ(b, 1.0f);
}

TEST(Cmyk, FullBlackClearsTheInks) {
    BColorCmyk cmyk(0.3f, 0.3f, 0.3f, 0.3f);
    cmyk.FromRgb(0, 0, 0);
    ExpectComponents(cmyk, {0, 0, 0, 1}, "black");
}

// Hues from hand-edited input can be anything; the wrapping loops must end.
TEST(HueWrapping, AbsurdHuesFinishWithADefinedColour) {
    const float hues[] = {1e30f,
                          -1e30f,
                          3e9f,
                          -3e9f,
                          std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(),
                          std::numeric_limits<float>::quiet_NaN()};
    for (const float hue : hues) {
        const PackedColor hls = BColorHls(hue, 0.5f, 1).ToColor();
        const PackedColor hsv = BColorHsv(hue, 1, 1).ToColor();
        // Full saturation at these levels gives channels of 0 or 255 only,
        // whatever hue the wrapping settles on; a conversion gone undefined
        // would leave bytes in between.
        for (const PackedColor colour : {hls, hsv}) {
            for (const int shift : {0, 8, 16}) {
                const unsigned channel = (colour >> shift) & 0xFFu;
                EXPECT_TRUE(channel == 0u || channel == 0xFFu) << hue << " " << colour;
            }
            EXPECT_EQ(colour >> 24, 0u) << hue;
        }
    }
    // A huge hue that is a whole number of turns still reads as red.
    EXPECT_EQ(BColorHsv(360.0f * 1048576.0f, 1, 1).ToColor(), 0x0000FFu);
    // 2^29 is 1,491,308 turns and 32 degrees: the colour of hue 32.
    EXPECT_EQ(BColorHsv(536870912.0f, 1, 1).ToColor(), BColorHsv(32, 1, 1).ToColor());
    EXPECT_EQ(BColorHls(536870912.0f, 0.5f, 1).ToColor(), BColorHls(32, 0.5f, 1).ToColor());
}

TEST(Setters, StoreWithoutConverting) {
    BColorHls hls(10, 0.2f, 0.3f);
    hls.SetHue(400);
    ExpectComponents(hls, {400, 0.2f, 0.3f}, "hls");
    BColorCmyk cmyk(0.1f, 0.2f, 0.3f, 0.4f);
    cmyk.SetBlack(7);
    ExpectComponents(cmyk, {0.1f, 0.2f, 0.3f, 7}, "cmyk");
    BColorRgb rgb(0, 0, 0);
    rgb.SetGreen(-2);
    const BColorRgb copy(rgb);
    ExpectComponents(copy, {0, -2, 0}, "rgb copy");
}

} // namespace
} // namespace tintorel
