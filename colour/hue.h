// What the HLS and HSV conversions share: the channels' extremes and hue
// wrapping (internal to the colour library).
#pragma once

namespace tintorel::hue {

// The largest and smallest channel, taken left to right with strict
// comparisons: the first of equal channels stands.
struct Extremes {
    float max;
    float min;
};
inline Extremes ExtremesOf(float red, float green, float blue) {
    Extremes e{red > green ? red : green, red < green ? red : green};
    if (blue > e.max) {
        e.max = blue;
    }
    if (blue < e.min) {
        e.min = blue;
    }
    return e;
}

// Subtracts 360 while the hue is above 360 (at or above 360 when
// `atOrAbove`). The wrapped hue is an intermediate and stays in double
// precision: rounding each step to float would shift hues that are fine as
// they are. A hue so far out of range that the loop would run for ages is
// first reduced with fmod. NaN and infinities come out as NaN.
double WrapDownSlow(double hue, bool atOrAbove);
inline double WrapDown(double hue, bool atOrAbove) {
    // Nearly every hue is already in range: keep that path free of calls.
    if (hue >= 0.0 && (atOrAbove ? hue < 360.0 : hue <= 360.0)) {
        return hue;
    }
    return WrapDownSlow(hue, atOrAbove);
}

// Adds 360 while the hue is negative, with the same guard against
// unbounded loops.
double WrapUpSlow(double hue);
inline double WrapUp(double hue) {
    return hue >= 0.0 ? hue : WrapUpSlow(hue);
}

} // namespace tintorel::hue
