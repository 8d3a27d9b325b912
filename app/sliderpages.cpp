#include "app/sliderpages.h"

#include <typeinfo>

namespace tintorel {

namespace {

template <class Colour> const Colour* Exactly(const BColor& colour) {
    return typeid(colour) == typeid(Colour) ? static_cast<const Colour*>(&colour) : nullptr;
}

template <class Colour> std::unique_ptr<BColor> Make3(std::span<const float> c) {
    return std::make_unique<Colour>(c[0], c[1], c[2]);
}

constexpr std::array<int, 4> kBytes{255, 255, 255, 255};
constexpr std::array<int, 4> kPercent{100, 100, 100, 100};
constexpr std::array<int, 4> kDegreeBytes{360, 255, 255, 0};
constexpr std::array<int, 4> kDegreePercent{360, 100, 100, 0};

constexpr SliderRow kRgbRows[] = {{"lblRed", "bstRed", "MainRgbRed", 1},
                                  {"lblGrn", "bstGrn", "MainRgbGreen", 1},
                                  {"lblBlu", "bstBlu", "MainRgbBlue", 1}};
constexpr RangeChoice kRgbModes[] = {{"rdbRgbByte", "MainRgbByte", kBytes},
                                     {"rdbRgbPercent", "MainRgbPercent", kPercent}};

constexpr SliderRow kHlsRows[] = {{"lblHue", "bstHue", "MainHlsHue", 360},
                                  {"lblLit", "bstLit", "MainHlsLightness", 1},
                                  {"lblSat", "bstSat", "MainHlsSaturation", 1}};
constexpr RangeChoice kHlsModes[] = {
    {"rdbHlsDegreeByte", "MainHlsDegreeByte", kDegreeBytes},
    {"rdbHlsDegreePercent", "MainHlsDegreePercent", kDegreePercent},
    {"rdbHlsByte", "MainHlsByte", kBytes},
    {"rdbHlsPercent", "MainHlsPercent", kPercent}};

constexpr SliderRow kHsvRows[] = {{"lblHue2", "bstHue2", "MainHsvHue", 360},
                                  {"lblSat2", "bstSat2", "MainHsvSaturation", 1},
                                  {"lblVal2", "bstVal2", "MainHsvValue", 1}};
constexpr RangeChoice kHsvModes[] = {
    {"rdbHsvDegreeByte", "MainHsvDegreeByte", kDegreeBytes},
    {"rdbHsvDegreePercent", "MainHsvDegreePercent", kDegreePercent},
    {"rdbHsvByte", "MainHsvByte", kBytes},
    {"rdbHsvPercent", "MainHsvPercent", kPercent}};

constexpr SliderRow kCmyRows[] = {{"lblCya", "bstCya", "MainCmyCyan", 1},
                                  {"lblMag", "bstMag", "MainCmyMagenta", 1},
                                  {"lblYel", "bstYel", "MainCmyYellow", 1}};
constexpr RangeChoice kCmyModes[] = {{"rdbCmyByte", "MainCmyByte", kBytes},
                                     {"rdbCmyPercent", "MainCmyPercent", kPercent}};

constexpr SliderRow kCmykRows[] = {{"lblCya2", "bstCya2", "MainCmykCyan", 1},
                                   {"lblMag2", "bstMag2", "MainCmykMagenta", 1},
                                   {"lblYel2", "bstYel2", "MainCmykYellow", 1},
                                   {"lblBlk2", "bstBlk2", "MainCmykBlack", 1}};
constexpr RangeChoice kCmykModes[] = {{"rdbCmykByte", "MainCmykByte", kBytes},
                                      {"rdbCmykPercent", "MainCmykPercent", kPercent}};

// OKLCH: lightness 0..1, chroma 0..0.4 (what a style sheet's 100 % stands
// for), hue in degrees. In percent as style sheets write the first two, or
// in thousandths, which are the digits of oklch(62.8% 0.258 29.2).
constexpr SliderRow kOklchRows[] = {
    {"lblOkLightness", "bstOkLightness", "MainOklchLightness", 1},
    {"lblOkChroma", "bstOkChroma", "MainOklchChroma", BColorOklch::kFullChroma},
    {"lblOkHue", "bstOkHue", "MainOklchHue", 360}};
constexpr RangeChoice kOklchModes[] = {
    {"rdbOklchPercent", "MainOklchPercent", {100, 100, 360, 0}},
    {"rdbOklchThousandths", "MainOklchThousandths", {1000, 400, 360, 0}}};

bool ReadRgb(const BColor& colour, std::span<float> c) {
    const auto* rgb = Exactly<BColorRgb>(colour);
    if (rgb != nullptr) {
        c[0] = rgb->Red();
        c[1] = rgb->Green();
        c[2] = rgb->Blue();
    }
    return rgb != nullptr;
}

bool ReadHls(const BColor& colour, std::span<float> c) {
    const auto* hls = Exactly<BColorHls>(colour);
    if (hls != nullptr) {
        c[0] = hls->Hue();
        c[1] = hls->Lightness();
        c[2] = hls->Saturation();
    }
    return hls != nullptr;
}

bool ReadHsv(const BColor& colour, std::span<float> c) {
    const auto* hsv = Exactly<BColorHsv>(colour);
    if (hsv != nullptr) {
        c[0] = hsv->Hue();
        c[1] = hsv->Saturation();
        c[2] = hsv->Value();
    }
    return hsv != nullptr;
}

bool ReadCmy(const BColor& colour, std::span<float> c) {
    const auto* cmy = Exactly<BColorCmy>(colour);
    if (cmy != nullptr) {
        c[0] = cmy->Cyan();
        c[1] = cmy->Magenta();
        c[2] = cmy->Yellow();
    }
    return cmy != nullptr;
}

bool ReadCmyk(const BColor& colour, std::span<float> c) {
    const auto* cmyk = Exactly<BColorCmyk>(colour);
    if (cmyk != nullptr) {
        c[0] = cmyk->Cyan();
        c[1] = cmyk->Magenta();
        c[2] = cmyk->Yellow();
        c[3] = cmyk->Black();
    }
    return cmyk != nullptr;
}

bool ReadOklch(const BColor& colour, std::span<float> c) {
    const auto* oklch = Exactly<BColorOklch>(colour);
    if (oklch != nullptr) {
        c[0] = oklch->Lightness();
        c[1] = oklch->Chroma();
        c[2] = oklch->Hue();
    }
    return oklch != nullptr;
}

std::unique_ptr<BColor> MakeCmyk(std::span<const float> c) {
    return std::make_unique<BColorCmyk>(c[0], c[1], c[2], c[3]);
}

constexpr SliderPageEntry kPages[] = {
    {0, "tabRgb", "MainRgbTab", kRgbRows, kRgbModes, &setting::RgbRange, Make3<BColorRgb>, ReadRgb},
    {1, "tabHls", "MainHlsTab", kHlsRows, kHlsModes, &setting::HlsRange, Make3<BColorHls>, ReadHls},
    {2, "tabHsv", "MainHsvTab", kHsvRows, kHsvModes, &setting::HsvRange, Make3<BColorHsv>, ReadHsv},
    {3, "tabCmy", "MainCmyTab", kCmyRows, kCmyModes, &setting::CmyRange, Make3<BColorCmy>, ReadCmy},
    {4, "tabCmyk", "MainCmykTab", kCmykRows, kCmykModes, &setting::CmykRange, MakeCmyk, ReadCmyk},
    {5, "tabOklch", "MainOklchTab", kOklchRows, kOklchModes, &setting::OklchRange,
     Make3<BColorOklch>, ReadOklch},
};

} // namespace

std::span<const SliderPageEntry> SliderPages() {
    return kPages;
}

const SliderPageEntry* SliderPage(int page) {
    for (const SliderPageEntry& entry : kPages) {
        if (entry.page == page) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace tintorel
