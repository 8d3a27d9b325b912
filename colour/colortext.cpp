// The short text form of each colour space: the keyword, then the components
// as whole numbers separated by "|", fractions in percent and hue in degrees.
#include "colour/color.h"

#include "util/utilnumber.h"
#include "util/utilstring.h"

#include <array>
#include <vector>

namespace tintorel {

namespace {

constexpr double kPercent = 0.01;

// Half up, and a whole number of degrees as the exact value gives it, however
// close below it the float lies (see RoundShown).
int Percent(float fraction) {
    return RoundShown(fraction * 100.0);
}

int Degrees(float hue) {
    return TruncShown(hue);
}

std::string Format(const char* keyword, std::initializer_list<int> fields) {
    std::string text = keyword;
    for (const int field : fields) {
        text += '|';
        text += std::to_string(field);
    }
    return text;
}

// The numbers after the keyword, or nothing when the field count is wrong;
// the keyword itself is not looked at. Fields whose `isHue` flag is set are
// taken as read, the others as percentages.
template <std::size_t N>
bool ReadFields(const std::string& text, const std::array<bool, N>& isHue,
                std::array<float, N>& values) {
    std::vector<std::string> tokens;
    SplitTokens(text, "|", tokens);
    if (tokens.size() != N + 1) {
        return false;
    }
    for (std::size_t i = 0; i < N; ++i) {
        const double number = TextToReal(tokens[i + 1]);
        values[i] = static_cast<float>(isHue[i] ? number : number * kPercent);
    }
    return true;
}

} // namespace

std::string BColorRgb::ToText() const {
    return Format("RGB", {Percent(red_), Percent(green_), Percent(blue_)});
}

void BColorRgb::FromText(std::string text) {
    std::array<float, 3> v{};
    if (ReadFields<3>(text, {false, false, false}, v)) {
        red_ = v[0], green_ = v[1], blue_ = v[2];
    }
}

std::string BColorHls::ToText() const {
    return Format("HLS", {Degrees(hue_), Percent(lightness_), Percent(saturation_)});
}

void BColorHls::FromText(std::string text) {
    std::array<float, 3> v{};
    if (ReadFields<3>(text, {true, false, false}, v)) {
        hue_ = v[0], lightness_ = v[1], saturation_ = v[2];
    }
}

std::string BColorHsv::ToText() const {
    return Format("HSV", {Degrees(hue_), Percent(saturation_), Percent(value_)});
}

void BColorHsv::FromText(std::string text) {
    std::array<float, 3> v{};
    if (ReadFields<3>(text, {true, false, false}, v)) {
        hue_ = v[0], saturation_ = v[1], value_ = v[2];
    }
}

std::string BColorCmy::ToText() const {
    return Format("CMY", {Percent(cyan_), Percent(magenta_), Percent(yellow_)});
}

void BColorCmy::FromText(std::string text) {
    std::array<float, 3> v{};
    if (ReadFields<3>(text, {false, false, false}, v)) {
        cyan_ = v[0], magenta_ = v[1], yellow_ = v[2];
    }
}

std::string BColorCmyk::ToText() const {
    return Format("CMYK", {Percent(cyan_), Percent(magenta_), Percent(yellow_), Percent(black_)});
}

void BColorCmyk::FromText(std::string text) {
    std::array<float, 4> v{};
    if (ReadFields<4>(text, {false, false, false, false}, v)) {
        cyan_ = v[0], magenta_ = v[1], yellow_ = v[2], black_ = v[3];
    }
}

std::string BColorOklch::ToText() const {
    return Format("OKLCH", {Percent(lightness_), Percent(chroma_ / kFullChroma), Degrees(hue_)});
}

void BColorOklch::FromText(std::string text) {
    std::array<float, 3> v{};
    if (ReadFields<3>(text, {false, false, true}, v)) {
        lightness_ = v[0], chroma_ = v[1] * kFullChroma, hue_ = v[2];
    }
}

} // namespace tintorel
