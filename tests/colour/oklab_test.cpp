// Oklab and OKLCH against published values, the way a colour beyond sRGB
// is brought in, and contrast as WCAG 2 defines it.
#include "colour/color.h"
#include "colour/oklab.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tintorel {
namespace {

Rgb Bytes(int red, int green, int blue) {
    return {red / 255.0, green / 255.0, blue / 255.0};
}

// Oklab's author's reference table: CIE XYZ (D65) to Oklab, given to three
// decimals. XYZ goes to linear sRGB by the sRGB standard's matrix.
TEST(Oklab, MatchesItsAuthorsReferenceTable) {
    const struct {
        double x, y, z, l, a, b;
    } table[] = {
        {0.950, 1.000, 1.089, 1.000, 0.000, 0.000},
        {1.000, 0.000, 0.000, 0.450, 1.236, -0.019},
        {0.000, 1.000, 0.000, 0.922, -0.671, 0.263},
        {0.000, 0.000, 1.000, 0.153, -1.415, -0.449},
    };
    for (const auto& row : table) {
        const Rgb linear{
            3.2409699419045226 * row.x - 1.537383177570094 * row.y - 0.4986107602930034 * row.z,
            -0.9692436362808796 * row.x + 1.8759675015077202 * row.y + 0.04155505740717559 * row.z,
            0.05563007969699366 * row.x - 0.20397695888897652 * row.y + 1.0569715142428786 * row.z};
        const Oklab lab = OklabFromLinearSrgb(linear);
        EXPECT_NEAR(lab.l, row.l, 0.002) << row.x << " " << row.y << " " << row.z;
        EXPECT_NEAR(lab.a, row.a, 0.002) << row.x << " " << row.y << " " << row.z;
        EXPECT_NEAR(lab.b, row.b, 0.002) << row.x << " " << row.y << " " << row.z;
    }
}

// The sRGB primaries and the greys as CSS Color 4 writes them in oklch().
TEST(Oklch, OfTheSrgbPrimariesAndGreys) {
    const struct {
        Rgb srgb;
        double l, c, h;
    } table[] = {
        {Bytes(255, 0, 0), 0.627955, 0.257683, 29.2339},
        {Bytes(0, 255, 0), 0.866440, 0.294827, 142.4953},
        {Bytes(0, 0, 255), 0.452014, 0.313214, 264.0520},
        {Bytes(255, 255, 255), 1.0, 0.0, 0.0},
        {Bytes(0, 0, 0), 0.0, 0.0, 0.0},
    };
    for (const auto& row : table) {
        const Oklch lch = OklchFromSrgb(row.srgb);
        EXPECT_NEAR(lch.l, row.l, 1e-5) << row.h;
        EXPECT_NEAR(lch.c, row.c, 1e-5) << row.h;
        EXPECT_EQ(IsGrey(lch), row.c == 0.0) << row.h;
        if (row.c != 0.0) {
            EXPECT_NEAR(lch.h, row.h, 1e-3) << row.h;
        }
        const Rgb back = SrgbFromOklch(lch);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(back[i], row.srgb[i], 1e-12) << row.h;
        }
        EXPECT_TRUE(InSrgbGamut(back)) << row.h;
        EXPECT_FALSE(FitToSrgb(lch).mapped) << row.h;
    }
    EXPECT_TRUE(IsGrey(OklchFromSrgb(Bytes(119, 119, 119))));
    EXPECT_FALSE(IsGrey(OklchFromSrgb(Bytes(119, 119, 120))));
}

TEST(SrgbCurve, IsItsOwnInverseAndOddBeyondZero) {
    // The curve's two pieces meet within 3e-8 at 0.04045, as the standard
    // writes them.
    for (const double c : {-2.0, -0.5, -0.01, 0.0, 0.002, 0.04045, 0.3, 1.0, 1.7}) {
        EXPECT_NEAR(LinearToSrgb(SrgbToLinear(c)), c, 5e-8) << c;
        EXPECT_EQ(SrgbToLinear(-c), -SrgbToLinear(c)) << c;
    }
    EXPECT_NEAR(SrgbToLinear(0.5), 0.21404114048223255, 1e-15);
}

// Colours inside sRGB come back as they are; beyond it, lightness and hue
// hold while chroma gives way, until the clipped colour is within a
// just-noticeable difference; lightness at or beyond the ends is white or
// black; numbers that are not numbers give black.
TEST(GamutMapping, BringsEveryColourOfAGridIntoSrgb) {
    int mapped = 0;
    for (int l = 0; l <= 20; ++l) {
        for (int c = 0; c <= 8; ++c) {
            for (int h = 0; h < 360; h += 15) {
                const Oklch origin{l / 20.0, c * 0.05, static_cast<double>(h)};
                const SrgbFit fit = FitToSrgb(origin);
                for (const double component : fit.rgb) {
                    ASSERT_GE(component, 0.0);
                    ASSERT_LE(component, 1.0);
                }
                const Rgb direct = SrgbFromOklch(origin);
                if (l == 0 || l == 20) {
                    const double end = l == 0 ? 0.0 : 1.0;
                    EXPECT_EQ(fit.rgb, (Rgb{end, end, end}));
                    EXPECT_EQ(fit.mapped, c != 0) << l << " " << c << " " << h;
                    continue;
                }
                // Less than half a byte beyond is clipped, not brought in.
                EXPECT_EQ(fit.mapped, !WithinHalfByteOfSrgb(direct)) << l << " " << c << " " << h;
                if (!fit.mapped) {
                    for (int i = 0; i < 3; ++i) {
                        EXPECT_NEAR(fit.rgb[i], std::clamp(direct[i], 0.0, 1.0), 1e-12);
                    }
                    continue;
                }
                ++mapped;
                const Oklch result = OklchFromSrgb(fit.rgb);
                EXPECT_NEAR(result.l, origin.l, 0.02) << l << " " << c << " " << h;
                EXPECT_LE(result.c, origin.c + 0.02) << l << " " << c << " " << h;
                // No colour of the same lightness and hue and less chroma
                // lies inside by more than the search's step.
                const Oklch further{origin.l, result.c + 0.03, origin.h};
                EXPECT_TRUE(result.c + 0.03 > origin.c || !InSrgbGamut(SrgbFromOklch(further)) ||
                            DeltaEOk(ToOklab(further), ToOklab(result)) < 0.05)
                    << l << " " << c << " " << h;
            }
        }
    }
    EXPECT_GT(mapped, 500);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const Oklch odd : {Oklch{nan, 0.1, 10}, Oklch{0.5, nan, 10}, Oklch{0.5, 0.1, nan},
                            Oklch{0.5, inf, 10}, Oklch{-inf, 0.1, 10}}) {
        EXPECT_EQ(FitToSrgb(odd).rgb, (Rgb{0, 0, 0}));
    }
    EXPECT_EQ(FitToSrgb(Oklch{inf, 0.1, 10}).rgb, (Rgb{1, 1, 1}));
}

// WCAG 2's definition on known pairs, and its levels.
TEST(Contrast, RatiosAndVerdicts) {
    const struct {
        Rgb one, two;
        double ratio;
    } pairs[] = {
        {Bytes(0, 0, 0), Bytes(255, 255, 255), 21.0},
        {Bytes(255, 255, 255), Bytes(0, 0, 0), 21.0},
        {Bytes(119, 119, 119), Bytes(255, 255, 255), 4.478},
        {Bytes(118, 118, 118), Bytes(255, 255, 255), 4.542},
        {Bytes(51, 102, 204), Bytes(255, 255, 255), 5.366},
        {Bytes(255, 0, 0), Bytes(0, 0, 0), 5.252},
        {Bytes(200, 30, 90), Bytes(200, 30, 90), 1.0},
    };
    for (const auto& pair : pairs) {
        EXPECT_NEAR(ContrastRatio(pair.one, pair.two), pair.ratio, 0.001) << pair.ratio;
    }
    const struct {
        double ratio;
        bool aaNormal, aaLarge, aaaNormal, aaaLarge;
    } levels[] = {
        {2.99, false, false, false, false}, {3.0, false, true, false, false},
        {4.49, false, true, false, false},  {4.5, true, true, false, true},
        {6.99, true, true, false, true},    {7.0, true, true, true, true},
    };
    for (const auto& level : levels) {
        const ContrastVerdict verdict = JudgeContrast(level.ratio);
        EXPECT_EQ(verdict.aaNormal, level.aaNormal) << level.ratio;
        EXPECT_EQ(verdict.aaLarge, level.aaLarge) << level.ratio;
        EXPECT_EQ(verdict.aaaNormal, level.aaaNormal) << level.ratio;
        EXPECT_EQ(verdict.aaaLarge, level.aaaLarge) << level.ratio;
    }
}

// The ratio as shown: rounded to two decimals, except onto a level the
// ratio does not reach; the ends for what is not a ratio.
TEST(Contrast, RatioTextNeverRoundsOntoALevel) {
    const struct {
        double ratio;
        const char* text;
    } cases[] = {
        {21.0, "21.00"},  {1.0, "1.00"},      {4.478, "4.48"},    {4.4949, "4.49"},
        {4.4996, "4.49"}, {4.5, "4.50"},      {4.5049, "4.50"},   {2.996, "2.99"},
        {3.0, "3.00"},    {6.9951, "6.99"},   {7.0, "7.00"},      {7.004, "7.00"},
        {5.366, "5.37"},  {10.006, "10.01"},  {0.5, "1.00"},      {99.0, "21.00"},
        {std::numeric_limits<double>::quiet_NaN(), "1.00"},
        {std::numeric_limits<double>::infinity(), "21.00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ContrastRatioText(c.ratio), c.text) << c.ratio;
    }
}

// The colour class: red held in OKLCH shows as red; too much chroma for
// sRGB shows as a colour brought in, and says so; its text form reads back.
TEST(ColourOklch, ShowsInsideSrgbAndSaysWhenBroughtIn) {
    BColorOklch red(0, 0, 0);
    red.FromColor(0x0000FF);
    EXPECT_NEAR(red.Lightness(), 0.627955, 1e-5);
    EXPECT_NEAR(red.Chroma(), 0.257683, 1e-5);
    EXPECT_NEAR(red.Hue(), 29.2339, 1e-3);
    EXPECT_EQ(red.ToColor(), 0x0000FFu);
    EXPECT_FALSE(red.Mapped());
    const BColorOklch vivid(0.7f, 0.4f, 145.0f);
    EXPECT_TRUE(vivid.Mapped());
    float r = 0, g = 0, b = 0;
    vivid.ToRgb(r, g, b);
    for (const float c : {r, g, b}) {
        EXPECT_GE(c, 0.0f);
        EXPECT_LE(c, 1.0f);
    }
    BColorOklch read(0, 0, 0);
    read.FromText("OKLCH|63|64|29");
    EXPECT_NEAR(read.Lightness(), 0.63, 1e-6);
    EXPECT_NEAR(read.Chroma(), 0.256, 1e-6);
    EXPECT_NEAR(read.Hue(), 29.0, 1e-6);
    read.FromText("OKLCH|1|2"); // the wrong number of fields: ignored
    EXPECT_NEAR(read.Lightness(), 0.63, 1e-6);
}

// Every grey of bytes has no chroma and no hue at all, not the last digits
// of its matrices' products; its text says so.
TEST(ColourOklch, AGreyHasNoChromaAndNoHue) {
    for (PackedColor level = 0; level <= 0xFF; ++level) {
        BColorOklch grey(0, 0, 0);
        grey.FromColor(level * 0x010101u);
        EXPECT_EQ(grey.Chroma(), 0.0f) << level;
        EXPECT_EQ(grey.Hue(), 0.0f) << level;
        EXPECT_EQ(grey.ToColor(), level * 0x010101u) << level;
    }
    BColorOklch grey(0, 0, 0);
    grey.FromColor(0x808080);
    EXPECT_EQ(grey.ToText().substr(grey.ToText().rfind('|', grey.ToText().rfind('|') - 1)),
              "|0|0");
}

} // namespace
} // namespace tintorel
