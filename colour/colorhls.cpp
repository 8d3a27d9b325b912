// HLS, the hexcone double-cone model with the hue in degrees.
#include "colour/color.h"

#include "colour/hue.h"

#include <cmath>

namespace tintorel {

namespace {

constexpr double kSixtieth = 1.0 / 60.0;

// One RGB channel from the two lightness bounds and a hue shifted for it.
// The shifted hue arrives rounded to float; wrapping it is intermediate
// arithmetic and stays in double.
float Channel(float lo, float hi, float shifted) {
    const double h = hue::WrapUp(hue::WrapDown(shifted, false));
    if (h < 60.0) {
        return static_cast<float>(lo + (static_cast<double>(hi) - lo) * h * kSixtieth);
    }
    if (h < 180.0) {
        return hi;
    }
    if (h < 240.0) {
        return static_cast<float>(lo + (static_cast<double>(hi) - lo) * (240.0 - h) * kSixtieth);
    }
    return lo;
}

} // namespace

void BColorHls::FromRgb(float red, float green, float blue) {
    const auto [max, min] = hue::ExtremesOf(red, green, blue);
    const auto delta = static_cast<float>(static_cast<double>(max) - min);
    lightness_ = static_cast<float>((static_cast<double>(max) + min) * 0.5);
    // Tolerance: channels this close are grey, and dividing by delta would
    // only amplify float noise into a meaningless hue.
    if (std::fabs(delta) < 1e-7f) {
        hue_ = 0.0f;
        saturation_ = 0.0f;
        return;
    }
    // The saturation divides the exact difference, not the rounded delta:
    // the denominator is exact too, so a fully saturated colour (min 0 or
    // max 1) gets exactly 1 and lands in the top saturation class.
    const double spread = static_cast<double>(max) - min;
    if (lightness_ < 0.5f) {
        saturation_ = static_cast<float>(spread / (static_cast<double>(max) + min));
    } else {
        saturation_ = static_cast<float>(spread / (2.0 - max - min));
    }
    const auto rc = static_cast<float>((static_cast<double>(max) - red) / delta);
    const auto gc = static_cast<float>((static_cast<double>(max) - green) / delta);
    const auto bc = static_cast<float>((static_cast<double>(max) - blue) / delta);
    // Red wins a tie with green or blue, green a tie with blue. The hue is
    // rounded to float once, when it is stored.
    double h = 0.0;
    if (red == max) {
        h = static_cast<double>(bc) - gc;
    } else if (green == max) {
        h = 2.0 + rc - bc;
    } else if (blue == max) {
        h = 4.0 + gc - rc;
    }
    h *= 60.0;
    if (h < 0.0) {
        h += 360.0;
    }
    hue_ = static_cast<float>(h);
}

void BColorHls::ToRgb(float& red, float& green, float& blue) const {
    const double l = lightness_;
    const double s = saturation_;
    const auto m2 = static_cast<float>(lightness_ <= 0.5f ? l * (1.0 + s) : l + s - l * s);
    const auto m1 = static_cast<float>(2.0 * l - m2);
    if (saturation_ == 0.0f) {
        red = green = blue = lightness_;
        return;
    }
    red = Channel(m1, m2, static_cast<float>(hue_ + 120.0));
    green = Channel(m1, m2, hue_);
    blue = Channel(m1, m2, static_cast<float>(hue_ - 120.0));
}

} // namespace tintorel
