#include "colour/colorcodes.h"

#include <gtest/gtest.h>

namespace tintorel {
namespace {

TEST(ColourCodes, WrittenWithTruncatedBytes) {
    const struct {
        float r, g, b;
        const char* html;
        const char* vb;
    } cases[] = {
        {0, 0, 0, "#000000", "&H0"},
        {1, 1, 1, "#ffffff", "&Hffffff"},
        {1, 0, 0, "#ff0000", "&Hff"},
        {0, 0, 1, "#0000ff", "&Hff0000"},
        {0.5f, 0, 0, "#7f0000", "&H7f"},                // 127.5 is cut, not rounded
        {0.2f, 0, 0, "#330000", "&H33"},                // 20 % is byte 51, a hair below in float
        {50.99f / 255, 0, 0, "#320000", "&H32"},        // between bytes: still cut
        {0.99999f * 51 / 255, 0, 0, "#330000", "&H33"}, // a round trip's shortfall
        {-1e-6f, 0, 0, "#000000", "&H0"},
        {128 / 255.0f, 1, 0, "#80ff00", "&Hff80"},
        {170 / 255.0f, 187 / 255.0f, 204 / 255.0f, "#aabbcc", "&Hccbbaa"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HtmlCode(c.r, c.g, c.b), c.html);
        EXPECT_EQ(VisualBasicCode(c.r, c.g, c.b), c.vb);
    }
}

TEST(ColourCodes, HtmlReadsSevenOrFourCharacters) {
    const struct {
        const char* text;
        bool read;
        ByteRgb colour;
    } cases[] = {
        {"#ABC", true, {170, 187, 204}},
        {"#aabbcc", true, {170, 187, 204}},
        {"#12", false, {}},
        {"#12345g", false, {}},
        {"#1234", false, {}},
        {"123456", false, {}},
        {" #abc", false, {}},
        {"#abc ", false, {}},
        {"#FF8000", true, {255, 128, 0}},
        {"", false, {}},
    };
    for (const auto& c : cases) {
        ByteRgb colour{1, 2, 3};
        EXPECT_EQ(ParseHtmlCode(c.text, colour), c.read) << c.text;
        if (c.read) {
            EXPECT_EQ(colour.red, c.colour.red) << c.text;
            EXPECT_EQ(colour.green, c.colour.green) << c.text;
            EXPECT_EQ(colour.blue, c.colour.blue) << c.text;
        }
    }
}

TEST(ColourCodes, VisualBasicReadsBlueInTheHighByte) {
    const struct {
        const char* text;
        bool read;
        ByteRgb colour;
    } cases[] = {
        {"&HFF", true, {255, 0, 0}},
        {"&hFF", false, {}},
        {"&H", false, {}},
        {"&Hzz", false, {}},
        {"&H1z", true, {1, 0, 0}},
        {"&H-1", true, {255, 255, 255}},
        {"&Hccbbaa", true, {170, 187, 204}},
        {"&H ff00", true, {0, 255, 0}},
        {"&H+ff0000", false, {}},
        {"&H+ff00", true, {0, 255, 0}},
        {"H&ff", false, {}},
        {"&H-ff", true, {255, 255, 255}},
    };
    for (const auto& c : cases) {
        ByteRgb colour{};
        EXPECT_EQ(ParseVisualBasicCode(c.text, colour), c.read) << c.text;
        if (c.read) {
            EXPECT_EQ(colour.red, c.colour.red) << c.text;
            EXPECT_EQ(colour.green, c.colour.green) << c.text;
            EXPECT_EQ(colour.blue, c.colour.blue) << c.text;
        }
    }
}

} // namespace
} // namespace tintorel
