#include "colortest.h"

#include <gtest/gtest.h>

#include <clocale>
#include <memory>
#include <string>

namespace tintorel {
namespace {

constexpr float k128 = 128.0f / 255.0f;

TEST(ToText, WholeNumbersInPercentAndDegrees) {
    const struct {
        std::unique_ptr<BColor> colour;
        const char* text;
    } cases[] = {
        {std::make_unique<BColorRgb>(1, k128, 0), "RGB|100|50|0"},
        {std::make_unique<BColorHls>(30.1176f, 0.5f, 1), "HLS|30|50|100"},
        {std::make_unique<BColorHsv>(30.1176f, 1, 1), "HSV|30|100|100"},
        {std::make_unique<BColorCmyk>(0, 1 - k128, 1, 0), "CMYK|0|50|100|0"},
        {std::make_unique<BColorHsv>(-1, 0, k128), "HSV|-1|0|50"},
        {std::make_unique<BColorCmy>(0.125f, 0.124f, 1.5f), "CMY|13|12|150"},
        {std::make_unique<BColorHls>(359.9f, -0.2f, 0), "HLS|359|-19|0"},
        {std::make_unique<BColorOklch>(0.62796f, 0.25768f, 29.234f), "OKLCH|63|64|29"},
        {std::make_unique<BColorOklch>(1, 0, 0), "OKLCH|100|0|0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.colour->ToText(), c.text);
    }
}

// Colours whose exact hue is a whole degree: rounding the hue twice on the
// way used to store it one float step below and write one degree less.
TEST(ToText, HueOfAByteColourIsItsWholeDegree) {
    const struct {
        PackedColor packed;
        const char* hls;
        const char* hsv;
    } cases[] = {
        {0x65C951, "HLS|130|55|53", "HSV|130|60|79"},
        {0x000101, "HLS|60|0|100", "HSV|60|100|0"},
    };
    for (const auto& c : cases) {
        BColorHls hls(0, 0, 0);
        hls.FromColor(c.packed);
        EXPECT_EQ(hls.ToText(), c.hls);
        BColorHsv hsv(0, 0, 0);
        hsv.FromColor(c.packed);
        EXPECT_EQ(hsv.ToText(), c.hsv);
    }
}

TEST(FromText, ReadsFieldsOrIgnoresAWrongCount) {
    const struct {
        std::unique_ptr<BColor> colour; // starts at 0.9 everywhere (hue 9)
        const char* text;
        std::vector<float> expected;
    } cases[] = {
        {std::make_unique<BColorRgb>(.9f, .9f, .9f), "RGB|100|50|0", {1, 0.5f, 0}},
        {std::make_unique<BColorRgb>(.9f, .9f, .9f), "RGB|100|50", {.9f, .9f, .9f}},
        {std::make_unique<BColorRgb>(.9f, .9f, .9f), "RGB|100|50|0|7", {.9f, .9f, .9f}},
        {std::make_unique<BColorCmyk>(.9f, .9f, .9f, .9f), "CMYK|1|2|3", {.9f, .9f, .9f, .9f}},
        {std::make_unique<BColorCmyk>(.9f, .9f, .9f, .9f),
         "CMYK|1|2|3|4",
         {.01f, .02f, .03f, .04f}},
        {std::make_unique<BColorRgb>(.9f, .9f, .9f), "XYZ|10|20|30", {.1f, .2f, .3f}},
        {std::make_unique<BColorCmy>(.9f, .9f, .9f), "HLS|1|2|3", {.01f, .02f, .03f}},
        {std::make_unique<BColorRgb>(.9f, .9f, .9f), "RGB|abc|50|0", {0, .5f, 0}},
        {std::make_unique<BColorRgb>(.9f, .9f, .9f), "RGB| 7|50%|0", {.07f, .5f, 0}},
        {std::make_unique<BColorHls>(9, .9f, .9f), "HLS|361|50|50", {361, .5f, .5f}},
        {std::make_unique<BColorHsv>(9, .9f, .9f), "HSV|-1|0|50", {-1, 0, .5f}},
        {std::make_unique<BColorRgb>(.9f, .9f, .9f), "|RGB|1|2|3|", {.01f, .02f, .03f}},
        {std::make_unique<BColorRgb>(.9f, .9f, .9f), "RGB||100|50|0|", {1, .5f, 0}},
        {std::make_unique<BColorRgb>(.9f, .9f, .9f), "RGB|150|0|0", {1.5f, 0, 0}},
        {std::make_unique<BColorRgb>(.9f, .9f, .9f), "RGB|7.5|0|0", {.075f, 0, 0}},
        {std::make_unique<BColorRgb>(.9f, .9f, .9f), "", {.9f, .9f, .9f}},
    };
    for (const auto& c : cases) {
        c.colour->FromText(c.text);
        const std::vector<float> actual = Components(*c.colour);
        ASSERT_EQ(actual.size(), c.expected.size()) << c.text;
        for (std::size_t i = 0; i < actual.size(); ++i) {
            EXPECT_FLOAT_EQ(actual[i], c.expected[i]) << c.text << ", field " << i;
        }
    }
}

TEST(FromText, RoundTripKeepsThePackedColour) {
    // 50 percent reads back as 0.5, which packs to 128 again.
    BColorRgb written(1, k128, 0);
    BColorRgb read(0, 0, 0);
    read.FromText(written.ToText());
    EXPECT_EQ(read.Green(), 0.5f);
    EXPECT_EQ(read.ToColor(), 0x000080FFu);
}

TEST(FromText, ReadsTheSameUnderACommaLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "de_DE.UTF-8 is not generated on this machine";
    }
    BColorHls hls(0, 0, 0);
    hls.FromText("HLS|7.5|12.5|0");
    const std::string text = BColorRgb(0.075f, 0, 0).ToText();
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_FLOAT_EQ(hls.Hue(), 7.5f);
    EXPECT_FLOAT_EQ(hls.Lightness(), 0.125f);
    EXPECT_EQ(text, "RGB|8|0|0");
}

} // namespace
} // namespace tintorel
