#include "colour/csscolour.h"

#include "util/utilnumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

namespace tintorel {

namespace {

struct Named {
    const char* name;
    std::uint32_t rgb;
};

// CSS's named colours, in alphabetical order.
constexpr Named kNamed[] = {
#include "colour/cssnames.inc"
};

// The predefined spaces' matrices to and from CIE XYZ, as CSS Color 4
// gives them (rational where they can be).
const Matrix kXyzToLinearSrgb = {Rgb{12831 / 3959.0, -329 / 214.0, -1974 / 3959.0},
                                 Rgb{-851781 / 878810.0, 1648619 / 878810.0, 36519 / 878810.0},
                                 Rgb{705 / 12673.0, -2585 / 12673.0, 705 / 667.0}};
const Matrix kP3ToXyz = {Rgb{608311 / 1250200.0, 189793 / 714400.0, 198249 / 1000160.0},
                         Rgb{35783 / 156275.0, 247089 / 357200.0, 198249 / 2500400.0},
                         Rgb{0.0, 32229 / 714400.0, 5220557 / 5000800.0}};
const Matrix kA98ToXyz = {Rgb{573536 / 994567.0, 263643 / 1420810.0, 187206 / 994567.0},
                          Rgb{591459 / 1989134.0, 6239551 / 9945670.0, 374412 / 4972835.0},
                          Rgb{53769 / 1989134.0, 351524 / 4972835.0, 4929758 / 4972835.0}};
const Matrix kRec2020ToXyz = {
    Rgb{63426534 / 99577255.0, 20160776 / 139408157.0, 47086771 / 278816314.0},
    Rgb{26158966 / 99577255.0, 472592308 / 697040785.0, 8267143 / 139408157.0},
    Rgb{0.0, 19567812 / 697040785.0, 295819943 / 278816314.0}};
// ProPhoto is relative to D50.
const Matrix kProPhotoToXyzD50 = {
    Rgb{0.79776664490064230, 0.13518129740053308, 0.03134773412839220},
    Rgb{0.28807482881940130, 0.71183523424187300, 0.00008993693872564},
    Rgb{0.0, 0.0, 0.82510460251046020}};
// Bradford adaptation from D50 to D65.
const Matrix kD50ToD65 = {Rgb{0.955473421488075, -0.02309845494876471, 0.06325924320057072},
                          Rgb{-0.0283697093338637, 1.0099953980813041, 0.021041441191917323},
                          Rgb{0.012314014864481998, -0.020507649298898964, 1.330365926242124}};
const Rgb kD50White = {0.3457 / 0.3585, 1.0, (1.0 - 0.3457 - 0.3585) / 0.3585};

// Transfer curves to linear light, odd beyond zero.
double Signed(double v, double (*curve)(double)) {
    return std::copysign(curve(std::fabs(v)), v);
}
double A98Linear(double v) {
    return Signed(v, [](double a) { return std::pow(a, 563.0 / 256.0); });
}
double ProPhotoLinear(double v) {
    return Signed(v, [](double a) { return a <= 16.0 / 512.0 ? a / 16.0 : std::pow(a, 1.8); });
}
double Rec2020Linear(double v) {
    return Signed(v, [](double a) {
        constexpr double alpha = 1.09929682680944;
        constexpr double beta = 0.018053968510807;
        return a < beta * 4.5 ? a / 4.5 : std::pow((a + alpha - 1.0) / alpha, 1.0 / 0.45);
    });
}

Rgb Map(const Rgb& v, double (*f)(double)) {
    return {f(v[0]), f(v[1]), f(v[2])};
}

// A component inside 0..1, rid of the last digits' noise (30% + 20% of a
// channel is 0.49999999999999994, which would round to the byte below).
double Clean(double component) {
    return std::clamp(std::round(component * 1e9) / 1e9, 0.0, 1.0);
}

// A colour in linear-light sRGB (possibly beyond it), brought in.
CssColour FromLinearSrgb(const Rgb& linear, double alpha) {
    const Rgb srgb = Map(linear, LinearToSrgb);
    // Less than half a byte beyond sRGB is inside for the bytes the colour
    // gets (a copied oklch() of red lies a hair beyond): clipped, not
    // brought in.
    if (WithinHalfByteOfSrgb(srgb)) {
        return {{Clean(srgb[0]), Clean(srgb[1]), Clean(srgb[2])}, alpha, false};
    }
    const SrgbFit fit = FitToSrgb(ToOklch(OklabFromLinearSrgb(linear)));
    return {fit.rgb, alpha, fit.mapped};
}

// sRGB as written stays as written when it lies inside.
CssColour FromSrgb(const Rgb& srgb, double alpha) {
    if (InSrgbGamut(srgb)) {
        return {{Clean(srgb[0]), Clean(srgb[1]), Clean(srgb[2])}, alpha, false};
    }
    return FromLinearSrgb(Map(srgb, SrgbToLinear), alpha);
}

CssColour FromXyzD65(const Rgb& xyz, double alpha) {
    return FromLinearSrgb(Times(kXyzToLinearSrgb, xyz), alpha);
}

CssColour FromXyzD50(const Rgb& xyz, double alpha) {
    return FromXyzD65(Times(kD50ToD65, xyz), alpha);
}

CssColour FromLab(double l, double a, double b, double alpha) {
    constexpr double kappa = 24389.0 / 27.0;
    constexpr double epsilon = 216.0 / 24389.0;
    const double f1 = (l + 16.0) / 116.0;
    const double f0 = a / 500.0 + f1;
    const double f2 = f1 - b / 200.0;
    const auto cube = [&](double f) {
        return f * f * f > epsilon ? f * f * f : (116.0 * f - 16.0) / kappa;
    };
    const Rgb xyz = {cube(f0) * kD50White[0],
                     (l > kappa * epsilon ? f1 * f1 * f1 : l / kappa) * kD50White[1],
                     cube(f2) * kD50White[2]};
    return FromXyzD50(xyz, alpha);
}

// One component as written.
struct Token {
    enum Kind { Number, Percent, Angle, None } kind = Number;
    double value = 0; // an angle in degrees
};

// The HSL colour of hue in degrees, saturation and lightness in 0..1.
Rgb HslToSrgb(double hue, double saturation, double lightness) {
    const auto channel = [&](double n) {
        const double k = std::fmod(n + hue / 30.0, 12.0);
        const double a = saturation * std::min(lightness, 1.0 - lightness);
        return lightness - a * std::max(-1.0, std::min({k - 3.0, 9.0 - k, 1.0}));
    };
    return {channel(0), channel(8), channel(4)};
}

class Reader {
public:
    static std::optional<CssColour> Colour(std::string_view text) {
        if (text.empty()) {
            return std::nullopt;
        }
        if (text.front() == '#') {
            return Hex(text.substr(1));
        }
        const std::size_t open = text.find('(');
        if (open == std::string_view::npos) {
            return Name(std::string(text));
        }
        if (text.back() != ')') {
            return std::nullopt;
        }
        return Function(std::string(text.substr(0, open)),
                        std::string(text.substr(open + 1, text.size() - open - 2)));
    }

private:
    static std::optional<CssColour> Hex(std::string_view digits) {
        std::array<int, 8> d{};
        if (digits.size() != 3 && digits.size() != 4 && digits.size() != 6 && digits.size() != 8) {
            return std::nullopt;
        }
        for (std::size_t i = 0; i < digits.size(); ++i) {
            d[i] = HexDigitValue(digits[i]);
            if (d[i] < 0) {
                return std::nullopt;
            }
        }
        std::array<int, 4> bytes{0, 0, 0, 255};
        const bool shortForm = digits.size() <= 4;
        for (std::size_t i = 0; i < (shortForm ? digits.size() : digits.size() / 2); ++i) {
            bytes[i] = shortForm ? d[i] * 17 : d[2 * i] * 16 + d[2 * i + 1];
        }
        return CssColour{
            {bytes[0] / 255.0, bytes[1] / 255.0, bytes[2] / 255.0}, bytes[3] / 255.0, false};
    }

    static std::optional<CssColour> Name(const std::string& name) {
        if (name == "transparent") {
            return CssColour{{0, 0, 0}, 0.0, false};
        }
        const auto* end = std::end(kNamed);
        const auto* found = std::lower_bound(
            std::begin(kNamed), end, name,
            [](const Named& entry, const std::string& key) { return key.compare(entry.name) > 0; });
        if (found == end || name != found->name) {
            return std::nullopt;
        }
        return CssColour{{((found->rgb >> 16) & 0xFF) / 255.0, ((found->rgb >> 8) & 0xFF) / 255.0,
                          (found->rgb & 0xFF) / 255.0},
                         1.0,
                         false};
    }

    // One component: a number, a percentage, an angle or `none`.
    static std::optional<Token> Component(const std::string& word) {
        if (word == "none") {
            return Token{Token::None, 0};
        }
        static const struct {
            const char* unit;
            Token::Kind kind;
            double scale;
        } units[] = {
            {"%", Token::Percent, 1.0},    {"deg", Token::Angle, 1.0},
            {"grad", Token::Angle, 0.9},   {"rad", Token::Angle, 180.0 / std::numbers::pi},
            {"turn", Token::Angle, 360.0},
        };
        std::string number = word;
        Token token;
        for (const auto& unit : units) {
            const std::string_view u = unit.unit;
            if (word.size() > u.size() && word.ends_with(u)) {
                number = word.substr(0, word.size() - u.size());
                token.kind = unit.kind;
                token.value = unit.scale;
                break;
            }
        }
        const std::optional<double> value = Number(number);
        if (!value) {
            return std::nullopt;
        }
        token.value = token.kind == Token::Number ? *value : *value * token.value;
        return token;
    }

    // A CSS number: sign, digits with at most one point, an exponent.
    static std::optional<double> Number(const std::string& text) {
        std::size_t i = 0;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        bool digits = false;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i, digits = true;
        }
        if (i < text.size() && text[i] == '.') {
            ++i;
            bool fraction = false;
            while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
                ++i, fraction = true;
            }
            if (!fraction) {
                return std::nullopt;
            }
            digits = true;
        }
        if (!digits) {
            return std::nullopt;
        }
        if (i < text.size() && text[i] == 'e') {
            std::size_t j = i + 1;
            if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
                ++j;
            }
            const std::size_t start = j;
            while (j < text.size() && text[j] >= '0' && text[j] <= '9') {
                ++j;
            }
            if (j == start) {
                return std::nullopt;
            }
            i = j;
        }
        if (i != text.size()) {
            return std::nullopt;
        }
        bool overflow = false;
        const double value = TextToReal(text, &overflow);
        if (overflow || !std::isfinite(value)) {
            return std::nullopt;
        }
        return value;
    }

    // The arguments: three components and an alpha, with commas (legacy:
    // `legacy` says so) or with spaces and "/ alpha".
    static bool Arguments(const std::string& inside, std::vector<std::string>& parts,
                          std::string& alpha, bool& legacy) {
        legacy = inside.find(',') != std::string::npos;
        std::string spaced;
        for (const char c : inside) {
            if (c == ',' || c == '/') {
                spaced += ' ';
                spaced += c;
                spaced += ' ';
            } else {
                spaced += IsSpaceC(c) ? ' ' : c;
            }
        }
        std::vector<std::string> words;
        std::string word;
        for (const char c : spaced + ' ') {
            if (c == ' ') {
                if (!word.empty()) {
                    words.push_back(word);
                    word.clear();
                }
            } else {
                word += c;
            }
        }
        if (legacy) {
            // a , b , c [, d]
            if (words.size() != 5 && words.size() != 7) {
                return false;
            }
            for (std::size_t i = 1; i < words.size(); i += 2) {
                if (words[i] != ",") {
                    return false;
                }
            }
            for (std::size_t i = 0; i < words.size(); i += 2) {
                (i < 6 ? parts.push_back(words[i]) : void(alpha = words[i]));
            }
            return true;
        }
        // a b c [/ d]
        if (words.size() == 5 && words[3] == "/") {
            alpha = words[4];
            words.resize(3);
        }
        if (words.size() != 3 || std::find(words.begin(), words.end(), "/") != words.end()) {
            return false;
        }
        parts = words;
        return true;
    }

    static std::optional<double> Alpha(const std::string& text) {
        if (text.empty()) {
            return 1.0;
        }
        const std::optional<Token> token = Component(text);
        if (!token || token->kind == Token::Angle) {
            return std::nullopt;
        }
        const double value = token->kind == Token::Percent ? token->value / 100.0 : token->value;
        return std::clamp(value, 0.0, 1.0); // `none` is 0
    }

    // A hue: a number of degrees or an angle.
    static std::optional<double> Hue(const Token& token) {
        if (token.kind == Token::Percent) {
            return std::nullopt;
        }
        return token.value;
    }

    static std::optional<CssColour> Function(const std::string& name, const std::string& inside) {
        std::vector<std::string> words;
        std::string alphaText;
        bool legacy = false;
        if (name == "color") {
            return Predefined(inside);
        }
        if (!Arguments(inside, words, alphaText, legacy)) {
            return std::nullopt;
        }
        // Only the functions of earlier CSS take commas.
        if (legacy && name != "rgb" && name != "rgba" && name != "hsl" && name != "hsla") {
            return std::nullopt;
        }
        std::array<Token, 3> c{};
        for (std::size_t i = 0; i < 3; ++i) {
            const std::optional<Token> token = Component(words[i]);
            if (!token || (legacy && token->kind == Token::None)) {
                return std::nullopt;
            }
            c[i] = *token;
        }
        const std::optional<double> alpha = Alpha(alphaText);
        if (!alpha || (legacy && alphaText == "none")) {
            return std::nullopt;
        }
        const auto number = [](const Token& t, double percentScale) {
            return t.kind == Token::Percent ? t.value * percentScale / 100.0 : t.value;
        };
        const auto anyAngle = [&](std::initializer_list<int> at) {
            return std::any_of(at.begin(), at.end(),
                               [&](int i) { return c[i].kind == Token::Angle; });
        };
        if (name == "rgb" || name == "rgba") {
            if (anyAngle({0, 1, 2})) {
                return std::nullopt;
            }
            if (legacy && !(std::all_of(c.begin(), c.end(),
                                        [](const Token& t) { return t.kind == Token::Number; }) ||
                            std::all_of(c.begin(), c.end(),
                                        [](const Token& t) { return t.kind == Token::Percent; }))) {
                return std::nullopt;
            }
            Rgb rgb{};
            for (std::size_t i = 0; i < 3; ++i) {
                rgb[i] = std::clamp(number(c[i], 255.0), 0.0, 255.0) / 255.0;
            }
            return CssColour{rgb, *alpha, false};
        }
        if (name == "hsl" || name == "hsla" || name == "hwb") {
            const std::optional<double> hue = Hue(c[0]);
            if (!hue || anyAngle({1, 2})) {
                return std::nullopt;
            }
            if (legacy &&
                (name == "hwb" || c[1].kind != Token::Percent || c[2].kind != Token::Percent)) {
                return std::nullopt;
            }
            const double h = std::fmod(std::fmod(*hue, 360.0) + 360.0, 360.0);
            const double s = number(c[1], 100.0) / 100.0;
            const double l = number(c[2], 100.0) / 100.0;
            if (name == "hwb") {
                const double white = std::max(s, 0.0);
                const double black = std::max(l, 0.0);
                if (white + black >= 1.0) {
                    const double grey = white / (white + black);
                    return FromSrgb({grey, grey, grey}, *alpha);
                }
                Rgb rgb = HslToSrgb(h, 1.0, 0.5);
                for (double& v : rgb) {
                    v = v * (1.0 - white - black) + white;
                }
                return FromSrgb(rgb, *alpha);
            }
            return FromSrgb(HslToSrgb(h, std::max(s, 0.0), l), *alpha);
        }
        if (name == "lab" || name == "oklab") {
            if (anyAngle({0, 1, 2})) {
                return std::nullopt;
            }
            const bool ok = name == "oklab";
            const double l = std::clamp(number(c[0], ok ? 1.0 : 100.0), 0.0, ok ? 1.0 : 100.0);
            const double a = number(c[1], ok ? 0.4 : 125.0);
            const double b = number(c[2], ok ? 0.4 : 125.0);
            if (ok) {
                return FromLinearSrgb(LinearSrgbFromOklab({l, a, b}), *alpha);
            }
            return FromLab(l, a, b, *alpha);
        }
        if (name == "lch" || name == "oklch") {
            const std::optional<double> hue = Hue(c[2]);
            if (!hue || anyAngle({0, 1})) {
                return std::nullopt;
            }
            const bool ok = name == "oklch";
            const double l = std::clamp(number(c[0], ok ? 1.0 : 100.0), 0.0, ok ? 1.0 : 100.0);
            const double chroma = std::max(number(c[1], ok ? 0.4 : 150.0), 0.0);
            const double angle = *hue * std::numbers::pi / 180.0;
            const double a = chroma * std::cos(angle);
            const double b = chroma * std::sin(angle);
            if (ok) {
                return FromLinearSrgb(LinearSrgbFromOklab({l, a, b}), *alpha);
            }
            return FromLab(l, a, b, *alpha);
        }
        return std::nullopt;
    }

    // color(space c1 c2 c3 [/ alpha]).
    static std::optional<CssColour> Predefined(const std::string& inside) {
        std::size_t start = 0;
        while (start < inside.size() && IsSpaceC(inside[start])) {
            ++start;
        }
        std::size_t end = start;
        while (end < inside.size() && !IsSpaceC(inside[end])) {
            ++end;
        }
        const std::string space = inside.substr(start, end - start);
        std::vector<std::string> words;
        std::string alphaText;
        bool legacy = false;
        if (!Arguments(inside.substr(end), words, alphaText, legacy) || legacy) {
            return std::nullopt;
        }
        const bool xyz = space == "xyz" || space == "xyz-d50" || space == "xyz-d65";
        Rgb v{};
        for (std::size_t i = 0; i < 3; ++i) {
            const std::optional<Token> token = Component(words[i]);
            if (!token || token->kind == Token::Angle || (xyz && token->kind == Token::Percent)) {
                return std::nullopt;
            }
            v[i] = token->kind == Token::Percent ? token->value / 100.0 : token->value;
        }
        const std::optional<double> alpha = Alpha(alphaText);
        if (!alpha) {
            return std::nullopt;
        }
        if (space == "srgb") {
            return FromSrgb(v, *alpha);
        }
        if (space == "srgb-linear") {
            return FromLinearSrgb(v, *alpha);
        }
        if (space == "display-p3") {
            return FromXyzD65(Times(kP3ToXyz, Map(v, SrgbToLinear)), *alpha);
        }
        if (space == "a98-rgb") {
            return FromXyzD65(Times(kA98ToXyz, Map(v, A98Linear)), *alpha);
        }
        if (space == "rec2020") {
            return FromXyzD65(Times(kRec2020ToXyz, Map(v, Rec2020Linear)), *alpha);
        }
        if (space == "prophoto-rgb") {
            return FromXyzD50(Times(kProPhotoToXyzD50, Map(v, ProPhotoLinear)), *alpha);
        }
        if (space == "xyz" || space == "xyz-d65") {
            return FromXyzD65(v, *alpha);
        }
        if (space == "xyz-d50") {
            return FromXyzD50(v, *alpha);
        }
        return std::nullopt;
    }
};

} // namespace

std::optional<CssColour> ParseCssColour(std::string_view text) {
    std::string lowered(TrimSpacesC(text));
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return Reader::Colour(lowered);
}

namespace {

// `value` with at most `digits` decimals, without trailing zeros, never
// "-0", whatever the locale.
std::string Decimal(double value, int digits) {
    const double scale = std::pow(10.0, digits);
    double rounded = std::round(value * scale) / scale;
    if (rounded == 0.0 || !std::isfinite(rounded)) {
        rounded = 0.0;
    }
    std::array<char, 64> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), rounded,
                                            std::chars_format::fixed, digits);
    std::string text(buffer.data(), error == std::errc() ? end : buffer.data());
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text.empty() ? "0" : text;
}

int Byte(double component) {
    return static_cast<int>(std::floor(std::clamp(component, 0.0, 1.0) * 255.0 + 0.5));
}

} // namespace

std::string CssText(const Rgb& srgb, CssForm form) {
    const int r = Byte(srgb[0]), g = Byte(srgb[1]), b = Byte(srgb[2]);
    const Rgb bytes{r / 255.0, g / 255.0, b / 255.0};
    switch (form) {
    case CssForm::Hex: {
        static constexpr char kDigits[] = "0123456789abcdef";
        std::string text = "#";
        for (const int v : {r, g, b}) {
            text += kDigits[v >> 4];
            text += kDigits[v & 15];
        }
        return text;
    }
    case CssForm::Rgb:
        return "rgb(" + std::to_string(r) + ' ' + std::to_string(g) + ' ' + std::to_string(b) + ')';
    case CssForm::Hsl: {
        const double high = std::max({bytes[0], bytes[1], bytes[2]});
        const double low = std::min({bytes[0], bytes[1], bytes[2]});
        const double lightness = (high + low) / 2.0;
        const double spread = high - low;
        double hue = 0.0;
        double saturation = 0.0;
        if (spread > 0.0) {
            saturation = spread / (1.0 - std::fabs(2.0 * lightness - 1.0));
            if (high == bytes[0]) {
                hue = std::fmod((bytes[1] - bytes[2]) / spread + 6.0, 6.0);
            } else if (high == bytes[1]) {
                hue = (bytes[2] - bytes[0]) / spread + 2.0;
            } else {
                hue = (bytes[0] - bytes[1]) / spread + 4.0;
            }
            hue *= 60.0;
        }
        return "hsl(" + Decimal(hue, 2) + ' ' + Decimal(saturation * 100.0, 2) + "% " +
               Decimal(lightness * 100.0, 2) + "%)";
    }
    case CssForm::Oklch: {
        const Oklch lch = OklchFromSrgb(bytes);
        const bool grey = r == g && g == b;
        return "oklch(" + Decimal(lch.l * 100.0, 3) + "% " + Decimal(grey ? 0.0 : lch.c, 5) + ' ' +
               Decimal(grey ? 0.0 : lch.h, 3) + ')';
    }
    }
    return {};
}

} // namespace tintorel
