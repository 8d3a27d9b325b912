// Properties that must hold for every one of the 16,777,216 packed colours.
// A separate executable: too slow for the memory checker, and a sample would
// miss the rare colours these faults hit.
#include "colour/color.h"
#include "colour/colorcodes.h"
#include "colour/csscolour.h"
#include "colour/oklab.h"
#include "util/utilnumber.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace tintorel {
namespace {

constexpr PackedColor kColours = 1u << 24;

ByteRgb BytesOf(PackedColor packed) {
    return {static_cast<int>(packed & 0xFF), static_cast<int>((packed >> 8) & 0xFF),
            static_cast<int>((packed >> 16) & 0xFF)};
}

// A sampled pixel, a typed code or a name sets the current colour from bytes
// in the class of the active page; both codes must then show those bytes.
TEST(EveryPackedColour, ShowsItsOwnBytesInTheCodesOnEveryPage) {
    const struct {
        const char* page;
        std::unique_ptr<BColor> colour;
    } pages[] = {
        {"RGB", std::make_unique<BColorRgb>(0.f, 0.f, 0.f)},
        {"HLS", std::make_unique<BColorHls>(0.f, 0.f, 0.f)},
        {"HSV", std::make_unique<BColorHsv>(0.f, 0.f, 0.f)},
        {"CMY", std::make_unique<BColorCmy>(0.f, 0.f, 0.f)},
        {"CMYK", std::make_unique<BColorCmyk>(0.f, 0.f, 0.f, 0.f)},
    };
    for (const auto& page : pages) {
        std::uint32_t wrong = 0;
        PackedColor first = 0;
        for (PackedColor packed = 0; packed < kColours; ++packed) {
            page.colour->FromColor(packed);
            float r = 0;
            float g = 0;
            float b = 0;
            page.colour->ToRgb(r, g, b);
            if (!(CodeBytes(r, g, b) == BytesOf(packed)) && wrong++ == 0) {
                first = packed;
            }
        }
        EXPECT_EQ(wrong, 0u) << page.page << ", first at 0x" << std::hex << first;
    }
}

// Going from page to page converts through RGB each time; two such trips
// must still land on the bytes.
TEST(EveryPackedColour, KeepsItsBytesAcrossTwoPageChanges) {
    BColorHls hls(0, 0, 0);
    BColorHsv hsv(0, 0, 0);
    BColorCmyk cmyk(0, 0, 0, 0);
    std::uint32_t wrong = 0;
    for (PackedColor packed = 0; packed < kColours; ++packed) {
        hls.FromColor(packed);
        float r = 0;
        float g = 0;
        float b = 0;
        hls.ToRgb(r, g, b);
        hsv.FromRgb(r, g, b);
        hsv.ToRgb(r, g, b);
        cmyk.FromRgb(r, g, b);
        cmyk.ToRgb(r, g, b);
        wrong += CodeBytes(r, g, b) == BytesOf(packed) ? 0 : 1;
    }
    EXPECT_EQ(wrong, 0u);
}

// The hue formulas with every intermediate in long double and one rounding
// to float at the end; the classes must store exactly that.
float HlsHueRoundedOnce(float r, float g, float b) {
    const float max = std::max(std::max(r, g), b);
    const float min = std::min(std::min(r, g), b);
    const auto delta = static_cast<float>(static_cast<long double>(max) - min);
    const auto ratio = [&](float c) {
        return static_cast<float>((static_cast<long double>(max) - c) / delta);
    };
    long double h = 0;
    if (r == max) {
        h = static_cast<long double>(ratio(b)) - ratio(g);
    } else if (g == max) {
        h = 2.0L + ratio(r) - ratio(b);
    } else {
        h = 4.0L + ratio(g) - ratio(r);
    }
    h *= 60;
    return static_cast<float>(h < 0 ? h + 360 : h);
}

float HsvHueRoundedOnce(float r, float g, float b) {
    const float max = std::max(std::max(r, g), b);
    const float min = std::min(std::min(r, g), b);
    const auto delta = static_cast<float>(static_cast<long double>(max) - min);
    long double h = 0;
    if (r == max) {
        h = (static_cast<long double>(g) - b) / delta;
    } else if (g == max) {
        h = (static_cast<long double>(b) - r) / delta + 2;
    } else {
        h = (static_cast<long double>(r) - g) / delta + 4;
    }
    h *= 60;
    return static_cast<float>(h < 0 ? h + 360 : h);
}

TEST(EveryPackedColour, StoresItsHueRoundedOnce) {
    BColorHls hls(0, 0, 0);
    BColorHsv hsv(0, 0, 0);
    std::uint32_t wrongHls = 0;
    std::uint32_t wrongHsv = 0;
    for (PackedColor packed = 0; packed < kColours; ++packed) {
        const ByteRgb bytes = BytesOf(packed);
        if (bytes.red == bytes.green && bytes.green == bytes.blue) {
            continue; // greys have no hue to compute
        }
        const auto channel = [](int byte) {
            return static_cast<float>(static_cast<double>(byte) * (1.0 / 255.0));
        };
        const float r = channel(bytes.red);
        const float g = channel(bytes.green);
        const float b = channel(bytes.blue);
        hls.FromColor(packed);
        hsv.FromColor(packed);
        wrongHls += hls.Hue() == HlsHueRoundedOnce(r, g, b) ? 0 : 1;
        wrongHsv += hsv.Hue() == HsvHueRoundedOnce(r, g, b) ? 0 : 1;
    }
    EXPECT_EQ(wrongHls, 0u);
    EXPECT_EQ(wrongHsv, 0u);
}

// Fully saturated means a channel at 0 (dark half) or at 255 (light half);
// those colours, and only those, must have a saturation of exactly 1.
TEST(EveryPackedColour, HasSaturationOneExactlyWhenFullySaturated) {
    BColorHls hls(0, 0, 0);
    std::uint32_t wrong = 0;
    PackedColor first = 0;
    for (PackedColor packed = 0; packed < kColours; ++packed) {
        const ByteRgb c = BytesOf(packed);
        const int max = std::max(std::max(c.red, c.green), c.blue);
        const int min = std::min(std::min(c.red, c.green), c.blue);
        const bool full = max != min && (min == 0 || max == 255);
        hls.FromColor(packed);
        if ((hls.Saturation() == 1.0f) != full && wrong++ == 0) {
            first = packed;
        }
    }
    EXPECT_EQ(wrong, 0u) << "first at 0x" << std::hex << first;
}

// The components of a colour of bytes as exact fractions p / q, from which
// what the sliders and the text forms must show is worked out in integers.
struct Exact {
    long long p;
    long long q; // 0 for the undefined hue of an HSV grey (shown as -1)
};

// trunc(p / q × scale + 0.5): a half rounds up.
long long Rounded(Exact x, long long scale) {
    return x.q == 0 ? 0 : (2 * x.p * scale + x.q) / (2 * x.q);
}

long long Truncated(Exact x, long long scale) {
    return x.q == 0 ? -1 : x.p * scale / x.q;
}

struct ExactColour {
    Exact hue; // in turns (a full circle is 1)
    Exact hlsL, hlsS, hsvS, hsvV;
    std::array<Exact, 4> cmyk;
    std::array<Exact, 3> cmy, rgb;
};

ExactColour ExactOf(PackedColor packed) {
    const ByteRgb c = BytesOf(packed);
    const long long max = std::max(std::max(c.red, c.green), c.blue);
    const long long min = std::min(std::min(c.red, c.green), c.blue);
    const long long d = max - min;
    const long long sum = max + min;
    ExactColour e{};
    // Hue: 60 × n / d degrees, n from the sector of the largest channel.
    long long n = 0;
    if (d != 0) {
        if (c.red == max) {
            n = c.green - c.blue;
        } else if (c.green == max) {
            n = 2 * d + c.blue - c.red;
        } else {
            n = 4 * d + c.red - c.green;
        }
        n = n < 0 ? n + 6 * d : n;
    }
    e.hue = {n, d == 0 ? 1 : 6 * d};
    e.hlsL = {sum, 510};
    e.hlsS = d == 0 ? Exact{0, 1} : sum < 255 ? Exact{d, sum} : Exact{d, 510 - sum};
    e.hsvS = max == 0 ? Exact{0, 1} : Exact{d, max};
    e.hsvV = {max, 255};
    const std::array<long long, 3> bytes{c.red, c.green, c.blue};
    for (std::size_t i = 0; i < 3; ++i) {
        e.rgb[i] = {bytes[i], 255};
        e.cmy[i] = {255 - bytes[i], 255};
        e.cmyk[i] = max == 0 ? Exact{0, 1} : Exact{max - bytes[i], max};
    }
    e.cmyk[3] = {255 - max, 255};
    return e;
}

// Where a component's exact value lies on a half (or, for what is
// truncated, on a whole number), the float stored may lie just below it;
// every slider at every scale and every text form must still show what the
// exact value gives: 0x6B24EA has a saturation of exactly 82.5 %, shown 83.
TEST(EveryPackedColour, ShowsTheExactRoundingOnSlidersAndInTextForms) {
    BColorRgb rgb(0, 0, 0);
    BColorHls hls(0, 0, 0);
    BColorHsv hsv(0, 0, 0);
    BColorCmy cmy(0, 0, 0);
    BColorCmyk cmyk(0, 0, 0, 0);
    std::uint32_t wrong = 0;
    PackedColor first = 0;
    std::string where;
    const auto check = [&](long long shown, long long exact, PackedColor packed, const char* what) {
        if (shown != exact && wrong++ == 0) {
            first = packed;
            where =
                std::string(what) + ": " + std::to_string(shown) + " for " + std::to_string(exact);
        }
    };
    for (PackedColor packed = 0; packed < kColours; ++packed) {
        const ExactColour e = ExactOf(packed);
        rgb.FromColor(packed);
        hls.FromColor(packed);
        hsv.FromColor(packed);
        cmy.FromColor(packed);
        cmyk.FromColor(packed);
        for (const int m : {255, 100}) {
            check(RoundShown(hls.Lightness() * static_cast<double>(m)), Rounded(e.hlsL, m), packed,
                  "HLS lightness");
            check(RoundShown(hls.Saturation() * static_cast<double>(m)), Rounded(e.hlsS, m), packed,
                  "HLS saturation");
            check(RoundShown(hsv.Saturation() * static_cast<double>(m)), Rounded(e.hsvS, m), packed,
                  "HSV saturation");
            check(RoundShown(hsv.Value() * static_cast<double>(m)), Rounded(e.hsvV, m), packed,
                  "HSV value");
            check(RoundShown(rgb.Red() * static_cast<double>(m)), Rounded(e.rgb[0], m), packed,
                  "red");
            check(RoundShown(cmy.Magenta() * static_cast<double>(m)), Rounded(e.cmy[1], m), packed,
                  "CMY magenta");
            check(RoundShown(cmyk.Cyan() * static_cast<double>(m)), Rounded(e.cmyk[0], m), packed,
                  "CMYK cyan");
            check(RoundShown(cmyk.Yellow() * static_cast<double>(m)), Rounded(e.cmyk[2], m), packed,
                  "CMYK yellow");
            check(RoundShown(cmyk.Black() * static_cast<double>(m)), Rounded(e.cmyk[3], m), packed,
                  "CMYK black");
        }
        for (const int m : {360, 255, 100}) {
            check(RoundShown(hls.Hue() * static_cast<double>(m) / 360.0), Rounded(e.hue, m), packed,
                  "HLS hue");
            check(RoundShown(hsv.Hue() * static_cast<double>(m) / 360.0),
                  e.hsvS.p == 0 ? 0 : Rounded(e.hue, m), packed, "HSV hue");
        }
        // The Visual page's track bar truncates.
        check(TruncShown(hls.Saturation() * 255.0), Truncated(e.hlsS, 255), packed,
              "track bar saturation");
        check(TruncShown(hls.Hue() / 360.0 * 255.0), Truncated(e.hue, 255), packed,
              "track bar hue");
    }
    EXPECT_EQ(wrong, 0u) << "first at 0x" << std::hex << first << ", " << where;
}

TEST(EveryPackedColour, TextFormsShowTheExactValues) {
    BColorHls hls(0, 0, 0);
    BColorHsv hsv(0, 0, 0);
    BColorCmyk cmyk(0, 0, 0, 0);
    std::uint32_t wrong = 0;
    PackedColor first = 0;
    for (PackedColor packed = 0; packed < kColours; ++packed) {
        const ExactColour e = ExactOf(packed);
        hls.FromColor(packed);
        hsv.FromColor(packed);
        cmyk.FromColor(packed);
        const long long hue = Truncated(e.hue, 360);
        const std::string hlsText = "HLS|" + std::to_string(hue) + "|" +
                                    std::to_string(Rounded(e.hlsL, 100)) + "|" +
                                    std::to_string(Rounded(e.hlsS, 100));
        const std::string hsvText = "HSV|" + std::to_string(e.hsvS.p == 0 ? -1 : hue) + "|" +
                                    std::to_string(Rounded(e.hsvS, 100)) + "|" +
                                    std::to_string(Rounded(e.hsvV, 100));
        std::string cmykText = "CMYK";
        for (const Exact& x : e.cmyk) {
            cmykText += "|" + std::to_string(Rounded(x, 100));
        }
        if ((hls.ToText() != hlsText || hsv.ToText() != hsvText || cmyk.ToText() != cmykText) &&
            wrong++ == 0) {
            first = packed;
        }
    }
    EXPECT_EQ(wrong, 0u) << "first at 0x" << std::hex << first;
}

// Through OKLCH and back: the same bytes, inside sRGB (never marked as
// brought in), and a grey exactly when the colour is one.
TEST(EveryPackedColour, ComesBackFromOklchAsItsOwnBytes) {
    int worst = 0;
    for (PackedColor packed = 0; packed < kColours; ++packed) {
        const ByteRgb bytes = BytesOf(packed);
        const Rgb srgb{bytes.red / 255.0, bytes.green / 255.0, bytes.blue / 255.0};
        const Oklch lch = OklchFromSrgb(srgb);
        const Rgb back = SrgbFromOklch(lch);
        ASSERT_TRUE(InSrgbGamut(back)) << std::hex << packed;
        const std::array<int, 3> want{bytes.red, bytes.green, bytes.blue};
        for (int i = 0; i < 3; ++i) {
            const int byte = static_cast<int>(back[i] * 255.0 + 0.5);
            ASSERT_EQ(byte, want[i]) << std::hex << packed;
            worst = std::max(worst, std::abs(byte - want[i]));
        }
        const bool grey = bytes.red == bytes.green && bytes.green == bytes.blue;
        ASSERT_EQ(IsGrey(lch), grey) << std::hex << packed;
        // The same through the colour class, whose components are floats.
        BColorOklch held(0, 0, 0);
        held.FromColor(packed);
        ASSERT_EQ(held.ToColor(), packed) << std::hex << packed;
        ASSERT_FALSE(held.Mapped()) << std::hex << packed;
    }
    EXPECT_EQ(worst, 0);
}

// Every colour copied in each CSS notation reads back as its own bytes.
TEST(EveryPackedColour, ReadsBackFromEachCssNotation) {
    for (PackedColor packed = 0; packed < kColours; ++packed) {
        const ByteRgb bytes = BytesOf(packed);
        const Rgb srgb{bytes.red / 255.0, bytes.green / 255.0, bytes.blue / 255.0};
        for (const CssForm form : {CssForm::Hex, CssForm::Rgb, CssForm::Hsl, CssForm::Oklch}) {
            const std::string text = CssText(srgb, form);
            const std::optional<CssColour> back = ParseCssColour(text);
            ASSERT_TRUE(back.has_value()) << text;
            const std::array<int, 3> want{bytes.red, bytes.green, bytes.blue};
            for (int i = 0; i < 3; ++i) {
                ASSERT_EQ(static_cast<int>(back->srgb[i] * 255.0 + 0.5), want[i]) << text;
            }
        }
    }
}

} // namespace
} // namespace tintorel
