#include "colour/oklab.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tintorel {

namespace {

// Oklab's matrices as its author published them: linear sRGB to cone
// responses, and the cube roots of those to lightness and the two
// opponent axes; then their inverses.
constexpr double kToLms[3][3] = {
    {0.4122214708, 0.5363325363, 0.0514459929},
    {0.2119034982, 0.6806995451, 0.1073969566},
    {0.0883024619, 0.2817188376, 0.6299787005},
};
constexpr double kToLab[3][3] = {
    {0.2104542553, 0.7936177850, -0.0040720468},
    {1.9779984951, -2.4285922050, 0.4505937099},
    {0.0259040371, 0.7827717662, -0.8086757660},
};

// The way back is the exact inverse of the way there, not the published
// inverse, whose ten digits leave sRGB's primaries a millionth outside sRGB
// after a round trip.
Matrix Inverse(const double (&m)[3][3]) {
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    Matrix inverse{};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            // The cofactor of (col, row), over the determinant.
            const int r1 = (col + 1) % 3, r2 = (col + 2) % 3;
            const int c1 = (row + 1) % 3, c2 = (row + 2) % 3;
            inverse[row][col] = (m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1]) / det;
        }
    }
    return inverse;
}

Matrix Forward(const double (&m)[3][3]) {
    return {Rgb{m[0][0], m[0][1], m[0][2]}, Rgb{m[1][0], m[1][1], m[1][2]},
            Rgb{m[2][0], m[2][1], m[2][2]}};
}

const Matrix& ToLms() {
    static const Matrix matrix = Forward(kToLms);
    return matrix;
}
const Matrix& ToLab() {
    static const Matrix matrix = Forward(kToLab);
    return matrix;
}
const Matrix& FromLab() {
    static const Matrix matrix = Inverse(kToLab);
    return matrix;
}
const Matrix& FromLms() {
    static const Matrix matrix = Inverse(kToLms);
    return matrix;
}

constexpr double kDegrees = 180.0 / std::numbers::pi;

Rgb Clip(const Rgb& rgb) {
    return {std::clamp(rgb[0], 0.0, 1.0), std::clamp(rgb[1], 0.0, 1.0),
            std::clamp(rgb[2], 0.0, 1.0)};
}

Oklab OklabFromSrgb(const Rgb& srgb) {
    return OklabFromLinearSrgb(
        {SrgbToLinear(srgb[0]), SrgbToLinear(srgb[1]), SrgbToLinear(srgb[2])});
}

} // namespace

Rgb Times(const Matrix& m, const Rgb& v) {
    return {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2],
            m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
            m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
}

double SrgbToLinear(double component) {
    const double size = std::fabs(component);
    const double linear = size <= 0.04045 ? size / 12.92 : std::pow((size + 0.055) / 1.055, 2.4);
    return std::copysign(linear, component);
}

double LinearToSrgb(double component) {
    const double size = std::fabs(component);
    const double encoded =
        size <= 0.0031308 ? size * 12.92 : 1.055 * std::pow(size, 1.0 / 2.4) - 0.055;
    return std::copysign(encoded, component);
}

Oklab OklabFromLinearSrgb(const Rgb& linear) {
    const Rgb lms = Times(ToLms(), linear);
    const Rgb lab = Times(ToLab(), {std::cbrt(lms[0]), std::cbrt(lms[1]), std::cbrt(lms[2])});
    return {lab[0], lab[1], lab[2]};
}

Rgb LinearSrgbFromOklab(const Oklab& lab) {
    const Rgb roots = Times(FromLab(), {lab.l, lab.a, lab.b});
    return Times(FromLms(), {roots[0] * roots[0] * roots[0], roots[1] * roots[1] * roots[1],
                             roots[2] * roots[2] * roots[2]});
}

Oklch ToOklch(const Oklab& lab) {
    // A grey keeps the hue its last digits give it (its chroma is about
    // 4e-8), so that it comes back as the same grey.
    const double chroma = std::hypot(lab.a, lab.b);
    double hue = std::atan2(lab.b, lab.a) * kDegrees;
    if (hue < 0) {
        hue += 360.0;
    }
    return {lab.l, chroma, hue >= 360.0 ? 0.0 : hue};
}

Oklab ToOklab(const Oklch& lch) {
    const double angle = lch.h / kDegrees;
    return {lch.l, lch.c * std::cos(angle), lch.c * std::sin(angle)};
}

Oklch OklchFromSrgb(const Rgb& srgb) {
    return ToOklch(OklabFromSrgb(srgb));
}

Rgb SrgbFromOklch(const Oklch& lch) {
    const Rgb linear = LinearSrgbFromOklab(ToOklab(lch));
    return {LinearToSrgb(linear[0]), LinearToSrgb(linear[1]), LinearToSrgb(linear[2])};
}

bool IsGrey(const Oklch& lch) {
    return !(lch.c >= 1e-6);
}

double DeltaEOk(const Oklab& one, const Oklab& two) {
    const double dl = one.l - two.l;
    const double da = one.a - two.a;
    const double db = one.b - two.b;
    return std::sqrt(dl * dl + da * da + db * db);
}

bool InSrgbGamut(const Rgb& srgb) {
    // A millionth of tolerance, a four-thousandth of a byte: white and the
    // primaries come back from another space's matrices a few units of the
    // eighth decimal outside.
    constexpr double kTolerance = 1e-6;
    return std::all_of(srgb.begin(), srgb.end(), [](double component) {
        return component >= -kTolerance && component <= 1.0 + kTolerance;
    });
}

bool WithinHalfByteOfSrgb(const Rgb& srgb) {
    constexpr double kHalfByte = 0.5 / 255.0;
    return std::all_of(srgb.begin(), srgb.end(),
                       [](double c) { return c > -kHalfByte && c < 1.0 + kHalfByte; });
}

SrgbFit FitToSrgb(const Oklch& origin) {
    constexpr double kNoise = 1e-6;
    // NaN components give black, not a loop on NaN bounds.
    // A grey at an end is that end, not brought in.
    if (!(origin.l > 0.0) || !std::isfinite(origin.c) || !std::isfinite(origin.h)) {
        return {{0.0, 0.0, 0.0}, !(origin.l >= -kNoise && IsGrey(origin))};
    }
    if (origin.l >= 1.0) {
        return {{1.0, 1.0, 1.0}, !(origin.l <= 1.0 + kNoise && IsGrey(origin))};
    }
    const Rgb inside = SrgbFromOklch(origin);
    if (WithinHalfByteOfSrgb(inside)) {
        return {Clip(inside), false};
    }
    constexpr double kJnd = 0.02;
    constexpr double kEpsilon = 0.0001;
    const auto distance = [](const Rgb& clipped, const Oklch& from) {
        return DeltaEOk(OklabFromSrgb(clipped), ToOklab(from));
    };
    Oklch current = origin;
    Rgb clipped = Clip(inside);
    if (distance(clipped, current) < kJnd) {
        return {clipped, true};
    }
    double min = 0.0;
    double max = std::max(origin.c, 0.0);
    bool minInGamut = true;
    while (max - min > kEpsilon) {
        current.c = (min + max) / 2.0;
        const Rgb candidate = SrgbFromOklch(current);
        if (minInGamut && InSrgbGamut(candidate)) {
            min = current.c;
            continue;
        }
        clipped = Clip(candidate);
        const double e = distance(clipped, current);
        if (e < kJnd) {
            if (kJnd - e < kEpsilon) {
                return {clipped, true};
            }
            minInGamut = false;
            min = current.c;
        } else {
            max = current.c;
        }
    }
    return {clipped, true};
}

double RelativeLuminance(const Rgb& srgb) {
    // WCAG 2 writes the curve's threshold as 0.03928; no 8-bit value lies
    // between that and sRGB's 0.04045.
    const auto linear = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(srgb[0]) + 0.7152 * linear(srgb[1]) + 0.0722 * linear(srgb[2]);
}

double ContrastRatio(const Rgb& one, const Rgb& two) {
    const double a = RelativeLuminance(one);
    const double b = RelativeLuminance(two);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

ContrastVerdict JudgeContrast(double ratio) {
    return {ratio >= 4.5, ratio >= 3.0, ratio >= 7.0, ratio >= 4.5};
}

std::string ContrastRatioText(double ratio) {
    const double within = ratio > 21.0 ? 21.0 : (ratio >= 1.0 ? ratio : 1.0);
    long long hundredths = std::llround(within * 100.0);
    for (const long long level : {300LL, 450LL, 700LL}) {
        if (within * 100.0 < static_cast<double>(level) && hundredths >= level) {
            hundredths = level - 1;
        }
    }
    // Whole numbers only: no decimal point that a locale could change.
    return std::to_string(hundredths / 100) + '.' + static_cast<char>('0' + hundredths % 100 / 10) +
           static_cast<char>('0' + hundredths % 10);
}

} // namespace tintorel
