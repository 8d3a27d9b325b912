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
// `atOrAbove`), one float subtraction at a time. A hue so far out of range
// that the loop would run for ages, or forever once 360 is below the float's
// precision, is first reduced with fmod. NaN and infinities come out as NaN.
float WrapDownSlow(float hue, bool atOrAbove);
inline float WrapDown(float hue, bool atOrAbove) {
    // Nearly every hue is already in range: keep that path free of calls.
    if (hue >= 0.0f && (atOrAbove ? hue < 360.0f : hue <= 360.0f)) {
        return hue;
    }
    return WrapDownSlow(hue, atOrAbove);
}

// Adds 360 while the hue is negative, with the same guard against
// unbounded loops.
float WrapUpSlow(float hue);
inline float WrapUp(float hue) {
    return hue >= 0.0f ? hue : WrapUpSlow(hue);
}

} // namespace tintorel::hue
