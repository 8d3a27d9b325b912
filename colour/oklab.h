// Oklab and its polar form OKLCH, the perceptual spaces style sheets write
// colours in, with the way a colour beyond sRGB is brought into it, and the
// contrast of two colours as the web's accessibility guidelines measure it.
// Everything here is computed in double; sRGB components are fractions of
// 0..1 with the sRGB transfer curve, as the colour classes hold them.
#pragma once

#include <array>
#include <string>

namespace tintorel {

using Rgb = std::array<double, 3>;
// A 3 × 3 matrix by rows, and its product with a column.
using Matrix = std::array<Rgb, 3>;
Rgb Times(const Matrix& m, const Rgb& v);

struct Oklab {
    double l = 0; // lightness, 0..1
    double a = 0;
    double b = 0;
};

struct Oklch {
    double l = 0; // lightness, 0..1
    double c = 0; // chroma, 0 and up (sRGB reaches about 0.32)
    double h = 0; // hue in degrees, 0..360
};

// The sRGB transfer curve and its inverse, extended to negative values by
// symmetry (colours beyond sRGB have them).
double SrgbToLinear(double component);
double LinearToSrgb(double component);

Oklab OklabFromLinearSrgb(const Rgb& linear);
Rgb LinearSrgbFromOklab(const Oklab& lab);
Oklch ToOklch(const Oklab& lab);
Oklab ToOklab(const Oklch& lch);

// sRGB with its transfer curve, to and from OKLCH, each the exact inverse
// of the other.
Oklch OklchFromSrgb(const Rgb& srgb);
Rgb SrgbFromOklch(const Oklch& lch); // may lie outside 0..1

// Whether a colour has no hue to speak of: a grey from sRGB comes out with
// a chroma of about 4e-8 and a hue of its last digits; the least chroma of
// a colour of bytes that is not a grey is about 1e-3.
bool IsGrey(const Oklch& lch);

// The distance of two colours in Oklab.
double DeltaEOk(const Oklab& one, const Oklab& two);

bool InSrgbGamut(const Rgb& srgb);
// Whether a colour lies less than half a byte beyond sRGB, so that clipping
// it changes none of its bytes.
bool WithinHalfByteOfSrgb(const Rgb& srgb);

// A colour brought into sRGB: the colour itself, clipped, when it lies
// less than half a byte beyond, else the nearest of its hue and lightness
// by reduced chroma, clipped once the clipped colour lies within a
// just-noticeable difference (CSS Color 4's gamut mapping). `mapped` says
// whether it had to be brought in.
struct SrgbFit {
    Rgb rgb{};
    bool mapped = false;
};
SrgbFit FitToSrgb(const Oklch& lch);

// Relative luminance and contrast ratio as WCAG 2 defines them, of sRGB
// colours with components in 0..1.
double RelativeLuminance(const Rgb& srgb);
double ContrastRatio(const Rgb& one, const Rgb& two);

// WCAG 2's levels for a contrast ratio: AA asks 4.5:1 of normal text and
// 3:1 of large text, AAA 7:1 and 4.5:1.
struct ContrastVerdict {
    bool aaNormal = false;
    bool aaLarge = false;
    bool aaaNormal = false;
    bool aaaLarge = false;
};
ContrastVerdict JudgeContrast(double ratio);
// A ratio as people read it, to two decimals: rounded, but never up onto a
// level it does not reach (4.4996 reads "4.49", not "4.50"). Between 1 and
// 21, the ratios there are; anything else (NaN) reads as the nearer end.
std::string ContrastRatioText(double ratio);

} // namespace tintorel
