#include "colour/colorcodes.h"

#include <gtest/gtest.h>

#include <ostream>

namespace tintorel {

void PrintTo(const ByteRgb& colour, std::ostream* out) {
    *out << colour.red << ", " << colour.green << ", " << colour.blue;
}

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

// What a user types or pastes is taken whole or not at all.
TEST(ColourCodes, HtmlReadsAWholeCodeOrNothing) {
    const struct {
        const char* text;
        bool read;
        ByteRgb colour;
    } cases[] = {
        {"#ABC", true, {170, 187, 204}},
        {"#aabbcc", true, {170, 187, 204}},
        {"#FF8000", true, {255, 128, 0}},
        {"123456", true, {0x12, 0x34, 0x56}}, // six digits without the "#"
        {" #abc", true, {170, 187, 204}},     // spaces around a paste are trimmed
        {"\t#123456 \n", true, {0x12, 0x34, 0x56}},
        {"#12", false, {}},
        {"#12345g", false, {}},
        {"#1234", false, {}},
        {"#12345678", false, {}}, // longer: not cut into #123456
        {"#1234567", false, {}},
        {"abc", false, {}}, // three digits without "#" could be anything
        {"0x123456", false, {}},
        {"rgb(1,2,3)", false, {}},
        {"# 123456", false, {}},
        {"##123456", false, {}},
        {"", false, {}},
        {"   ", false, {}},
    };
    for (const auto& c : cases) {
        ByteRgb colour{1, 2, 3};
        EXPECT_EQ(ParseHtmlCode(c.text, colour), c.read) << c.text;
        EXPECT_EQ(colour, c.read ? c.colour : (ByteRgb{1, 2, 3})) << c.text;
    }
}

TEST(ColourCodes, VisualBasicReadsAWholeLiteralOrNothing) {
    const struct {
        const char* text;
        bool read;
        ByteRgb colour;
    } cases[] = {
        {"&HFF", true, {255, 0, 0}},
        {"&hFF", true, {255, 0, 0}}, // either case
        {"&Hccbbaa", true, {170, 187, 204}},
        {"&HCCBBAA&", true, {170, 187, 204}}, // a Long's suffix
        {"&H00ccbbaa", true, {170, 187, 204}},
        {" &H0 ", true, {0, 0, 0}},
        {"&Hffffff", true, {255, 255, 255}},
        {"&H1000000", false, {}},  // not cut to &H100000
        {"&H80000005", false, {}}, // a system colour, not navy
        {"&H", false, {}},
        {"&H&", false, {}},
        {"&Hzz", false, {}},
        {"&H1z", false, {}},
        {"&H-1", false, {}},
        {"&H+ff", false, {}},
        {"&H ff00", false, {}},
        {"H&ff", false, {}},
        {"&Hff&&", false, {}},
        {"&H000000001", false, {}},
        {"", false, {}},
    };
    for (const auto& c : cases) {
        ByteRgb colour{1, 2, 3};
        EXPECT_EQ(ParseVisualBasicCode(c.text, colour), c.read) << c.text;
        EXPECT_EQ(colour, c.read ? c.colour : (ByteRgb{1, 2, 3})) << c.text;
    }
}

} // namespace
} // namespace tintorel
