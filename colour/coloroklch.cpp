#include "colour/color.h"
#include "colour/oklab.h"

namespace tintorel {

namespace {

SrgbFit Fit(float lightness, float chroma, float hue) {
    return FitToSrgb(Oklch{lightness, chroma, hue});
}

} // namespace

void BColorOklch::ToRgb(float& red, float& green, float& blue) const {
    const SrgbFit fit = Fit(lightness_, chroma_, hue_);
    red = static_cast<float>(fit.rgb[0]);
    green = static_cast<float>(fit.rgb[1]);
    blue = static_cast<float>(fit.rgb[2]);
}

void BColorOklch::FromRgb(float red, float green, float blue) {
    const Oklch lch = OklchFromSrgb({red, green, blue});
    lightness_ = static_cast<float>(lch.l);
    // A grey has no hue: its chroma's last digits would show as a hue that
    // jumps from one grey to the next.
    const bool grey = IsGrey(lch);
    chroma_ = grey ? 0.0f : static_cast<float>(lch.c);
    hue_ = grey ? 0.0f : static_cast<float>(lch.h);
}

bool BColorOklch::Mapped() const {
    return Fit(lightness_, chroma_, hue_).mapped;
}

} // namespace tintorel
