// Colours as style sheets write them. The valid and invalid cases marked
// "wpt" are taken from the web-platform-tests' css-color parsing tests
// (css/css-color/parsing/color-valid-rgb.html, color-valid-hsl.html,
// color-valid-hwb.html and color-invalid.html), keeping those whose result
// is an sRGB colour and leaving out calc() and relative colours.
#include "colour/csscolour.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

namespace tintorel {
namespace {

struct Bytes {
    int red, green, blue;
    bool operator==(const Bytes&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Bytes& b) {
    return out << b.red << ", " << b.green << ", " << b.blue;
}

Bytes BytesOf(const CssColour& colour) {
    const auto byte = [](double v) { return static_cast<int>(std::floor(v * 255.0 + 0.5)); };
    return {byte(colour.srgb[0]), byte(colour.srgb[1]), byte(colour.srgb[2])};
}

TEST(CssColour, ValidTextsGiveTheirColourAndAlpha) {
    const struct {
        const char* text;
        Bytes bytes;
        double alpha;
    } table[] = {
        // wpt: rgb()
        {"rgb(none none none)", {0, 0, 0}, 1},
        {"rgb(none none none / none)", {0, 0, 0}, 0},
        {"rgb(128 none none)", {128, 0, 0}, 1},
        {"rgb(20% none none)", {51, 0, 0}, 1},
        {"rgb(none none none / 50%)", {0, 0, 0}, 0.5},
        {"rgba(128 none none / none)", {128, 0, 0}, 0},
        {"rgb(-2 3 4)", {0, 3, 4}, 1},
        {"rgb(-20% 20% 40%)", {0, 51, 102}, 1},
        {"rgb(257 30 40)", {255, 30, 40}, 1},
        {"rgb(250% 20% 40%)", {255, 51, 102}, 1},
        {"rgba(-2 3 4 / .5)", {0, 3, 4}, 0.5},
        {"rgba(257 30 40 / 50%)", {255, 30, 40}, 0.5},
        // wpt: hsl()
        {"hsl(120 30% 50%)", {89, 166, 89}, 1},
        {"hsl(120 30% 50% / 0.5)", {89, 166, 89}, 0.5},
        {"hsl(0 0% 0% / 0)", {0, 0, 0}, 0},
        {"hsl(120 0% 50%)", {128, 128, 128}, 1},
        {"hsl(120 100% 50% / 0)", {0, 255, 0}, 0},
        {"hsl(0 100% 50%)", {255, 0, 0}, 1},
        {"hsl(10 100% 50%)", {255, 43, 0}, 1},
        {"hsl(0 0% 49.99999%)", {127, 127, 127}, 1},
        {"hsl(120 30 50)", {89, 166, 89}, 1},
        {"hsl(120 30% 50)", {89, 166, 89}, 1},
        {"hsl(120 30 50% / 0.5)", {89, 166, 89}, 0.5},
        {"hsl(0 -50% 40%)", {102, 102, 102}, 1},
        {"hsl(30 -50 60)", {153, 153, 153}, 1},
        // wpt: hwb()
        {"hwb(120 30% 50%)", {77, 128, 77}, 1},
        {"hwb(120 30% 50% / 0.5)", {77, 128, 77}, 0.5},
        {"hwb(120 60% 60%)", {128, 128, 128}, 1},
        // Hexadecimal codes, names, letter case, spaces and commas.
        {"#f00", {255, 0, 0}, 1},
        {"#F008", {255, 0, 0}, 136 / 255.0},
        {"#3366cc", {51, 102, 204}, 1},
        {"#3366CC80", {51, 102, 204}, 128 / 255.0},
        {"  RebeccaPurple ", {102, 51, 153}, 1},
        {"transparent", {0, 0, 0}, 0},
        {"RGB(1, 2, 3)", {1, 2, 3}, 1},
        {"rgba(1,2,3,0.25)", {1, 2, 3}, 0.25},
        {"rgb(10%, 20%, 30%, 50%)", {26, 51, 77}, 0.5},
        {"hsla(180, 100%, 50%, 1)", {0, 255, 255}, 1},
        {"rgb( 1\t2\n3 )", {1, 2, 3}, 1},
        {"rgb(1e2 +2.5e1 .5e1)", {100, 25, 5}, 1},
        {"rgb(1 2 3 / 150%)", {1, 2, 3}, 1},
        {"rgb(1 2 3 / -1)", {1, 2, 3}, 0},
        {"hwb(0 40% 60%)", {102, 102, 102}, 1},
        // Angles.
        {"hsl(0.5turn 100% 50%)", {0, 255, 255}, 1},
        {"hsl(200grad 100% 50%)", {0, 255, 255}, 1},
        {"hsl(3.14159265rad 100% 50%)", {0, 255, 255}, 1},
        {"hsl(540deg 100% 50%)", {0, 255, 255}, 1},
        {"hsl(-180 100% 50%)", {0, 255, 255}, 1},
        // Lab, LCH, Oklab, OKLCH: sRGB's red, white and a grey.
        {"lab(50 0 0)", {119, 119, 119}, 1},
        {"lab(100% 0 0)", {255, 255, 255}, 1},
        {"lch(50% 0 120deg)", {119, 119, 119}, 1},
        {"oklab(0.627955 0.224863 0.125846)", {255, 0, 0}, 1},
        {"oklch(62.7955% 0.257683 29.2339)", {255, 0, 0}, 1},
        {"oklch(62.7955% 64.42% 29.2339deg / 50%)", {255, 0, 0}, 0.5},
        {"oklch(1 0 none)", {255, 255, 255}, 1},
        {"oklch(0.5 0 0)", {99, 99, 99}, 1},
        // color() in the predefined spaces.
        {"color(srgb 1 0.5 0)", {255, 128, 0}, 1},
        {"color(srgb 100% 50% 0% / 0.5)", {255, 128, 0}, 0.5},
        {"color(srgb-linear 0.318546778 0.318546778 0.318546778)", {153, 153, 153}, 1},
        {"color(display-p3 0.6 0.6 0.6)", {153, 153, 153}, 1},
        {"color(a98-rgb 1 1 1)", {255, 255, 255}, 1},
        {"color(prophoto-rgb 1 1 1)", {255, 255, 255}, 1},
        {"color(rec2020 0 0 0)", {0, 0, 0}, 1},
        // The white points as CSS writes them: x/y, 1, (1 - x - y)/y.
        {"color(xyz-d65 0.950455927 1 1.089057751)", {255, 255, 255}, 1},
        {"color(xyz 0.950455927 1 1.089057751)", {255, 255, 255}, 1},
        {"color(xyz-d50 0.964295676 1 0.825104603)", {255, 255, 255}, 1},
    };
    for (const auto& row : table) {
        const std::optional<CssColour> colour = ParseCssColour(row.text);
        ASSERT_TRUE(colour.has_value()) << row.text;
        EXPECT_EQ(BytesOf(*colour), row.bytes) << row.text;
        EXPECT_NEAR(colour->alpha, row.alpha, 1e-12) << row.text;
        EXPECT_FALSE(colour->mapped) << row.text;
    }
}

// Colours beyond sRGB are brought in: the wide spaces' pure red, a lab()
// and an oklch() too saturated for sRGB.
TEST(CssColour, ColoursBeyondSrgbAreBroughtIn) {
    for (const char* text :
         {"color(display-p3 1 0 0)", "color(rec2020 0 1 0)", "lab(50 120 0)", "oklch(70% 0.4 145)",
          "color(srgb 1.2 0 0)", "color(srgb-linear -0.1 0.5 0.5)"}) {
        const std::optional<CssColour> colour = ParseCssColour(text);
        ASSERT_TRUE(colour.has_value()) << text;
        EXPECT_TRUE(colour->mapped) << text;
        for (const double c : colour->srgb) {
            EXPECT_GE(c, 0.0) << text;
            EXPECT_LE(c, 1.0) << text;
        }
    }
    // sRGB's red as CIE Lab and LCH write it to four decimals, and as
    // oklch() is copied: less than half a byte beyond sRGB, it is red,
    // not a colour brought in.
    for (const char* red : {"lab(54.2917 80.8125 69.8851)", "lch(54.2917 106.8390 40.8526)",
                            "oklch(62.796% 0.25768 29.234)"}) {
        const std::optional<CssColour> colour = ParseCssColour(red);
        ASSERT_TRUE(colour.has_value()) << red;
        EXPECT_EQ(BytesOf(*colour), (Bytes{255, 0, 0})) << red;
        EXPECT_FALSE(colour->mapped) << red;
    }
    // Display P3's red comes in as a red of sRGB.
    const Bytes p3Red = BytesOf(*ParseCssColour("color(display-p3 1 0 0)"));
    EXPECT_EQ(p3Red.red, 255);
    EXPECT_LT(p3Red.green, 60);
    EXPECT_LT(p3Red.blue, 60);
}

// Every named colour of the shipped web list, as that list gives it.
TEST(CssColour, EveryNamedColour) {
    std::ifstream list(std::string(TINTOREL_SOURCE_DIR) + "/data/colours/web.txt");
    ASSERT_TRUE(list.good());
    std::string line;
    int names = 0;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == ';') {
            continue;
        }
        const std::size_t comma = line.find(',');
        ASSERT_NE(comma, std::string::npos) << line;
        const std::string name = line.substr(0, comma);
        const std::optional<CssColour> byName = ParseCssColour(name);
        const std::optional<CssColour> byCode = ParseCssColour(line.substr(comma + 1));
        ASSERT_TRUE(byName.has_value()) << name;
        ASSERT_TRUE(byCode.has_value()) << line;
        EXPECT_EQ(BytesOf(*byName), BytesOf(*byCode)) << name;
        ++names;
    }
    EXPECT_EQ(names, 148);
}

// A text that is not one whole colour gives nothing, never a part of one.
TEST(CssColour, MalformedTextsGiveNothing) {
    for (const char* text :
         {// wpt
          "auto", "123", "#12", "#123456789", "rgb", "rgb(1)", "rgb(1,2,3,4,5)", "hsla(1,2,3,4,5)",
          "rgb(10%, 20, 30%)", "rgba(-2, 300, 400%, -0.5)", "hwba(120 30% 50%)",
          "color(srgb 0 0 0 0)", "color(srgb 0deg 0% 0)", "color(srgb-linear 0% 0 0 1)",
          "color(a98-rgb 0% 0 0deg)", "color(xyz 0% 0 0)", "color(xyz-d50 0 0 0 0)",
          "color(xyz-d65 40% 0 0deg)", "lab(0% 0 0 1)", "oklab(0% 0 0 10%)", "lab(0% 0 0deg)",
          "oklab(40% 0 0deg)", "color(lab 20% 0 10 / 50%)", "lch(20% 10 10deg 10)",
          "oklch(20% 10 10deg 10 / 0.5)", "color(oklch 20% 0 10 / 50%)",
          // the program's own
          "", "   ", "#", "#12345", "#ggg", "#1234567", "rgb(1 2 3", "rgb(1 2 3))", "rgb 1 2 3",
          "rgb()", "rgb(1 2)", "rgb(1 2 3 4)", "rgb(1,2 3)", "rgb(1, 2, 3,)", "rgb(1 2 3 /)",
          "rgb(1 2 3 / 0.5 / 0.5)", "rgb(1 / 2 3)", "rgb(1e 2 3)", "rgb(. 2 3)", "rgb(1..2 2 3)",
          "rgb(1.2.3 2 3)", "rgb(1 2 3deg)", "rgb(1 2 3%%)", "rgb(1, 2, none)",
          "rgb(1, 2, 3, none)", "rgb(1e999 0 0)", "hsl(10, 20, 30)", "hsl(10% 20% 30%)",
          "hwb(10, 20%, 30%)", "oklch(50% 0.1 10%)", "lch(50deg 10 10)", "color()", "color(srgb)",
          "color(foo 1 2 3)", "color(srgb, 1, 2, 3)", "notacolour", "red blue", "red;", "#fff #000",
          "rgb(1 2 3) x", "x rgb(1 2 3)", "rgb(\xff 2 3)", "rgb(1\0 2 3)",
          // Only rgb() and hsl() take commas, and then no `none`.
          "hsl(none, 20%, 30%)", "lab(50, 0, 0)", "oklch(0.5, 0.1, 10)", "lch(50, 10, 10)",
          "oklab(0.5, 0, 0)"}) {
        EXPECT_FALSE(ParseCssColour(text).has_value()) << text;
    }
}

// Copied notations: short, in the locale-free form style sheets read.
TEST(CssColour, CopiedNotations) {
    const struct {
        Rgb srgb;
        CssForm form;
        const char* text;
    } table[] = {
        {{51 / 255.0, 102 / 255.0, 204 / 255.0}, CssForm::Hex, "#3366cc"},
        {{51 / 255.0, 102 / 255.0, 204 / 255.0}, CssForm::Rgb, "rgb(51 102 204)"},
        {{51 / 255.0, 102 / 255.0, 204 / 255.0}, CssForm::Hsl, "hsl(220 60% 50%)"},
        {{1, 0, 0}, CssForm::Oklch, "oklch(62.796% 0.25768 29.234)"},
        {{1, 1, 1}, CssForm::Oklch, "oklch(100% 0 0)"},
        {{0, 0, 0}, CssForm::Hsl, "hsl(0 0% 0%)"},
        {{0, 0, 0}, CssForm::Oklch, "oklch(0% 0 0)"},
        {{1, 0, 1}, CssForm::Hsl, "hsl(300 100% 50%)"},
        {{0.5, 0.5, 0.5}, CssForm::Hex, "#808080"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(CssText(row.srgb, row.form), row.text);
    }
}

} // namespace
} // namespace tintorel
