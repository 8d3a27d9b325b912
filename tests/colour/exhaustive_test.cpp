// Properties that must hold for every one of the 16,777,216 packed colours.
// A separate executable: too slow for the memory checker, and a sample would
// miss the rare colours these faults hit.
#include "colour/color.h"
#include "colour/colorcodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>

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

} // namespace
} // namespace tintorel
