#include "colour/colorcodes.h"

#include "util/utilnumber.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace tintorel {

namespace {

// A colour set from bytes (k / 255) comes back from a round trip through
// HLS, HSV, CMY or CMYK a few ten-thousandths of a step below k, and plain
// truncation would show k - 1. Products this close below a whole number are
// taken as that number; colours between bytes (50 % is 127.5) are still
// truncated. The largest shortfall seen over every packed colour on every
// page is under 2e-4 of a step.
constexpr double kCodeTolerance = 1.0 / 256.0;

// A component as the codes show it: truncated, and printed as the unsigned
// form of the int, as %x shows a negative int.
unsigned CodeByte(float component) {
    return static_cast<unsigned>(
        TruncToInt(static_cast<double>(component) * 255.0 + kCodeTolerance));
}

} // namespace

ByteRgb CodeBytes(float red, float green, float blue) {
    return {static_cast<int>(CodeByte(red)), static_cast<int>(CodeByte(green)),
            static_cast<int>(CodeByte(blue))};
}

std::string HtmlCode(float red, float green, float blue) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "#%2.2x%2.2x%2.2x", CodeByte(red), CodeByte(green),
                  CodeByte(blue));
    return text.data();
}

std::string VisualBasicCode(float red, float green, float blue) {
    const std::uint32_t value = CodeByte(red) + 256u * CodeByte(green) + 65536u * CodeByte(blue);
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "&H%x", value);
    return text.data();
}

namespace {

bool AllHexDigits(std::string_view text) {
    for (const char c : text) {
        if (HexDigitValue(c) < 0) {
            return false;
        }
    }
    return true;
}

} // namespace

bool ParseHtmlCode(const std::string& text, ByteRgb& colour) {
    std::string_view digits = TrimSpacesC(text);
    if (!digits.empty() && digits.front() == '#') {
        digits.remove_prefix(1);
    } else if (digits.size() != 6) {
        return false; // without the "#", only the six digits are unambiguous
    }
    if (!AllHexDigits(digits)) {
        return false;
    }
    const auto pair = [digits](std::size_t hi, std::size_t lo) {
        return HexDigitValue(digits[hi]) * 16 + HexDigitValue(digits[lo]);
    };
    if (digits.size() == 6) {
        colour = {pair(0, 1), pair(2, 3), pair(4, 5)};
        return true;
    }
    if (digits.size() == 3) {
        colour = {pair(0, 0), pair(1, 1), pair(2, 2)};
        return true;
    }
    return false;
}

bool ParseVisualBasicCode(const std::string& text, ByteRgb& colour) {
    std::string_view digits = TrimSpacesC(text);
    if (digits.size() < 3 || digits[0] != '&' || (digits[1] != 'H' && digits[1] != 'h')) {
        return false;
    }
    digits.remove_prefix(2);
    if (digits.back() == '&') {
        digits.remove_suffix(1);
    }
    if (digits.empty() || digits.size() > 8 || !AllHexDigits(digits)) {
        return false;
    }
    std::uint32_t value = 0;
    for (const char c : digits) {
        value = value * 16 + static_cast<std::uint32_t>(HexDigitValue(c));
    }
    if (value > 0xFFFFFFu) {
        return false;
    }
    colour = {static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
              static_cast<int>((value >> 16) & 0xFF)};
    return true;
}

} // namespace tintorel
