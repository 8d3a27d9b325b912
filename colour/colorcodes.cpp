#include "colour/colorcodes.h"

#include "util/utilnumber.h"

#include <array>
#include <cstdint>
#include <cstdio>

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

bool ParseHtmlCode(const std::string& text, ByteRgb& colour) {
    if (text.empty() || text[0] != '#') {
        return false;
    }
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (HexDigitValue(text[i]) < 0) {
            return false;
        }
    }
    const auto pair = [&text](std::size_t hi, std::size_t lo) {
        return HexDigitValue(text[hi]) * 16 + HexDigitValue(text[lo]);
    };
    if (text.size() == 7) {
        colour = {pair(1, 2), pair(3, 4), pair(5, 6)};
        return true;
    }
    if (text.size() == 4) {
        colour = {pair(1, 1), pair(2, 2), pair(3, 3)};
        return true;
    }
    return false;
}

bool ParseVisualBasicCode(const std::string& text, ByteRgb& colour) {
    if (text.size() < 3 || text.size() > 8 || text[0] != '&' || text[1] != 'H') {
        return false;
    }
    std::size_t at = 2;
    while (at < text.size() && IsSpaceC(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    std::uint32_t value = 0;
    bool digits = false;
    for (; at < text.size() && HexDigitValue(text[at]) >= 0; ++at) {
        value = value * 16 + static_cast<std::uint32_t>(HexDigitValue(text[at]));
        digits = true;
    }
    if (!digits) {
        return false;
    }
    if (negative) {
        value = 0u - value;
    }
    std::array<char, 16> hex{};
    std::snprintf(hex.data(), hex.size(), "%6.6x", value);
    const auto pair = [&hex](std::size_t at) {
        return HexDigitValue(hex[at]) * 16 + HexDigitValue(hex[at + 1]);
    };
    colour = {pair(4), pair(2), pair(0)};
    return true;
}

} // namespace tintorel
