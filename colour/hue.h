// Hue wrapping shared by the HLS and HSV conversions (internal to the colour
// library).
#pragma once

namespace tintorel::hue {

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
