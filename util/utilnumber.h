// Number conversions that neither depend on the process locale nor invoke
// undefined behaviour: the program reads numbers written by hand in files and
// settings, and Qt sets the process locale from the environment, so a German
// desktop must still read "7.5" as seven and a half.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tintorel {

// White space as C's isspace sees it in the "C" locale.
constexpr bool IsSpaceC(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// `text` without the white space (IsSpaceC) at either end.
constexpr std::string_view TrimSpacesC(std::string_view text) {
    while (!text.empty() && IsSpaceC(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsSpaceC(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The value of a hexadecimal digit of either case, or -1 for any other
// character.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// As C's atof in the "C" locale, for decimal numbers: leading white space is
// skipped, the longest prefix that forms a decimal number (sign, digits,
// point, exponent) is used, trailing characters are ignored, and a text
// without such a prefix gives 0. "inf", "nan" and hexadecimal forms are not
// read, so the result is never NaN. When `overflow` is given, it is set to
// whether the number was too large for a double (the result is then ±HUGE_VAL).
double TextToReal(const std::string& text, bool* overflow = nullptr);

// As C's atol in the "C" locale, but defined for every input: a number too
// large for a long gives LONG_MAX or LONG_MIN, and `overflow` (when given) is
// set to whether that happened.
long TextToLong(const std::string& text, bool* overflow = nullptr);

// A whole number and nothing else: white space around it, an optional
// sign, decimal digits. False for anything else ("12.5", "1e2", "0x10",
// "12a", "") and for a number beyond the int range.
bool ParseWholeNumber(const std::string& text, int& value);

// Truncation toward zero with a defined result for every double: NaN gives 0
// and values beyond the int range give INT_MIN or INT_MAX.
int TruncToInt(double value);

// Rounding toward minus infinity, with the same defined results as TruncToInt.
int FloorToInt(double value);

// Rounding toward plus infinity, with the same defined results as TruncToInt.
int CeilToInt(double value);

// A component the program shows as a whole number (on a slider, in a text
// form) is a float computed from bytes: where the exact value lies on a half
// or a whole, the float may lie a few hundred-thousandths short of it, and
// plain rounding would show one less. Values within kShownMargin of a half
// or whole number are taken as lying on it. For any colour of bytes at the
// program's scales (100, 255, 360) a value not on one lies at least 1/3060
// away, so nothing really below is lifted.
inline constexpr double kShownMargin = 1.0 / 8192;
// trunc(value + 0.5) toward zero, a half rounding up (away from zero).
int RoundShown(double value);
// trunc(value) toward zero.
int TruncShown(double value);

// The low 8 bits of the mathematically truncated value (two's complement for
// negative values, so -1 gives 255). NaN and infinities give 0; so do finite
// values of 2^63 and beyond, which are multiples of 256.
std::uint8_t LowByteOfTrunc(double value);

} // namespace tintorel
