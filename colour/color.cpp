#include "colour/color.h"

#include "colour/hue.h"
#include "util/utilnumber.h"

#include <cmath>

namespace tintorel {

namespace {

constexpr double kByteFactor = 1.0 / 255.0;

// Beyond this many turns the hue is reduced with fmod: such hues never come
// from the program itself, only from hand-made input.
constexpr double kLoopLimit = 360.0 * 65536.0;

std::uint32_t PackChannel(float channel) {
    return LowByteOfTrunc(static_cast<double>(channel) * 255.0 + 0.5);
}

} // namespace

namespace hue {

double WrapDownSlow(double hue, bool atOrAbove) {
    if (!std::isfinite(hue)) {
        return std::nan("");
    }
    if (hue > kLoopLimit) {
        hue = std::fmod(hue, 360.0);
    }
    if (atOrAbove) {
        while (hue >= 360.0) {
            hue -= 360.0;
        }
    } else {
        while (hue > 360.0) {
            hue -= 360.0;
        }
    }
    return hue;
}

double WrapUpSlow(double hue) {
    if (!std::isfinite(hue)) {
        return std::nan("");
    }
    if (hue < -kLoopLimit) {
        hue = std::fmod(hue, 360.0);
    }
    while (hue < 0.0) {
        hue += 360.0;
    }
    return hue;
}

} // namespace hue

void BColor::FromColor(PackedColor color) {
    const auto red = static_cast<float>(static_cast<double>(color & 0xFFu) * kByteFactor);
    const auto green = static_cast<float>(static_cast<double>((color >> 8) & 0xFFu) * kByteFactor);
    const auto blue = static_cast<float>(static_cast<double>((color >> 16) & 0xFFu) * kByteFactor);
    FromRgb(red, green, blue);
}

PackedColor BColor::ToColor() const {
    float red = 0;
    float green = 0;
    float blue = 0;
    ToRgb(red, green, blue);
    return PackChannel(red) | PackChannel(green) << 8 | PackChannel(blue) << 16;
}

// RGB

void BColorRgb::ToRgb(float& red, float& green, float& blue) const {
    red = red_;
    green = green_;
    blue = blue_;
}

void BColorRgb::FromRgb(float red, float green, float blue) {
    red_ = red;
    green_ = green;
    blue_ = blue;
}

// CMY

void BColorCmy::FromRgb(float red, float green, float blue) {
    cyan_ = static_cast<float>(1.0 - red);
    magenta_ = static_cast<float>(1.0 - green);
    yellow_ = static_cast<float>(1.0 - blue);
}

void BColorCmy::ToRgb(float& red, float& green, float& blue) const {
    red = static_cast<float>(1.0 - cyan_);
    green = static_cast<float>(1.0 - magenta_);
    blue = static_cast<float>(1.0 - yellow_);
}

// CMYK

void BColorCmyk::FromRgb(float red, float green, float blue) {
    const auto c = static_cast<float>(1.0 - red);
    const auto m = static_cast<float>(1.0 - green);
    const auto y = static_cast<float>(1.0 - blue);
    float black = c;
    if (m < black) {
        black = m;
    }
    if (y < black) {
        black = y;
    }
    black_ = black;
    if (black_ == 1.0f) {
        cyan_ = magenta_ = yellow_ = 0.0f;
        return;
    }
    const double rest = 1.0 - black_;
    cyan_ = static_cast<float>((1.0 - red - black_) / rest);
    magenta_ = static_cast<float>((1.0 - green - black_) / rest);
    yellow_ = static_cast<float>((1.0 - blue - black_) / rest);
}

void BColorCmyk::ToRgb(float& red, float& green, float& blue) const {
    // Caps from above only: a negative ink can give a channel above 1.
    const auto channel = [this](float ink) {
        const double covered = black_ + (1.0 - black_) * ink;
        return static_cast<float>(1.0 - (covered < 1.0 ? covered : 1.0));
    };
    red = channel(cyan_);
    green = channel(magenta_);
    blue = channel(yellow_);
}

} // namespace tintorel
