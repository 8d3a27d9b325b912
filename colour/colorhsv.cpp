// HSV, the hexcone model with an explicit marker for an undefined hue.
#include "colour/color.h"

#include "colour/hue.h"
#include "util/utilnumber.h"

namespace tintorel {

void BColorHsv::FromRgb(float red, float green, float blue) {
    const auto [max, min] = hue::ExtremesOf(red, green, blue);
    value_ = max;
    const auto delta = static_cast<float>(static_cast<double>(max) - min);
    // Exactly zero, unlike HLS: only a true grey has no hue here.
    if (delta == 0.0f) {
        saturation_ = 0.0f;
        hue_ = kUndefinedHue;
        return;
    }
    saturation_ = static_cast<float>(static_cast<double>(delta) / max);
    // The hue is rounded to float once, when it is stored.
    double h = 0.0;
    if (red == max) {
        h = (static_cast<double>(green) - blue) / delta;
    } else if (green == max) {
        h = (static_cast<double>(blue) - red) / delta + 2.0;
    } else {
        h = (static_cast<double>(red) - green) / delta + 4.0;
    }
    h *= 60.0;
    if (h < 0.0) {
        h += 360.0;
    }
    hue_ = static_cast<float>(h);
}

void BColorHsv::ToRgb(float& red, float& green, float& blue) const {
    // Only hues at or above 360 are brought down; negative ones stay.
    const double h = hue::WrapDown(hue_, true);
    if (saturation_ == 0.0f) {
        red = green = blue = value_;
        return;
    }
    const double x = h * (1.0 / 60.0);
    // In range, truncation is the floor; only hand-made hues need the
    // careful conversion.
    const int sector = x >= 0.0 && x < 6.0 ? static_cast<int>(x) : FloorToInt(x);
    const auto f = static_cast<float>(x - sector);
    const double s = saturation_;
    const double v = value_;
    const auto p = static_cast<float>((1.0 - s) * v);
    const auto q = static_cast<float>((1.0 - s * f) * v);
    const auto t = static_cast<float>((1.0 - s * (1.0 - f)) * v);
    switch (sector) {
    case 0:
        red = value_, green = t, blue = p;
        break;
    case 1:
        red = q, green = value_, blue = p;
        break;
    case 2:
        red = p, green = value_, blue = t;
        break;
    case 3:
        red = p, green = q, blue = value_;
        break;
    case 4:
        red = t, green = p, blue = value_;
        break;
    default:
        red = value_, green = p, blue = q;
        break;
    }
}

} // namespace tintorel
