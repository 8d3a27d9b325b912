#include "locale/texttables.h"

#include "locale/language.h"
#include "version.h"

#include <array>
#include <string_view>

namespace tintorel {

namespace {

constexpr std::array<TextKey, 87> kMain = {{
    {"MainTitle", "Tintorel"},
    {"MainOk", "&OK"},
    {"MainCancel", "&Cancel"},
    {"MainHtml", "Html"},
    {"MainVb", "Visual Basic"},
    {"MainPipette", "Pipette"},
    {"MainPrefs", "Preferences"},
    {"MainPreview", "Color preview"},
    {"MainRgbTab", "RGB"},
    {"MainRgbRed", "&Red"},
    {"MainRgbGreen", "&Green"},
    {"MainRgbBlue", "&Blue"},
    {"MainRgbByte", "B&yte"},
    {"MainRgbPercent", "&Percent"},
    {"MainHlsTab", "HLS"},
    {"MainHlsHue", "&Hue"},
    {"MainHlsLightness", "&Lightness"},
    {"MainHlsSaturation", "&Saturation"},
    {"MainHlsDegreeByte", "&Degree-Byte"},
    {"MainHlsDegreePercent", "D&egree-Percent"},
    {"MainHlsByte", "&Byte"},
    {"MainHlsPercent", "&Percent"},
    {"MainHsvTab", "HSV"},
    {"MainHsvHue", "&Hue"},
    {"MainHsvSaturation", "&Saturation"},
    {"MainHsvValue", "&Value"},
    {"MainHsvDegreeByte", "&Degree-Byte"},
    {"MainHsvDegreePercent", "D&egree-Percent"},
    {"MainHsvByte", "&Byte"},
    {"MainHsvPercent", "&Percent"},
    {"MainCmyTab", "CMY"},
    {"MainCmyCyan", "&Cyan"},
    {"MainCmyMagenta", "&Magenta"},
    {"MainCmyYellow", "&Yellow"},
    {"MainCmyByte", "&Byte"},
    {"MainCmyPercent", "&Percent"},
    {"MainCmykTab", "CMYK"},
    {"MainCmykCyan", "&Cyan"},
    {"MainCmykMagenta", "&Magenta"},
    {"MainCmykYellow", "&Yellow"},
    {"MainCmykBlack", "B&lack"},
    {"MainCmykByte", "&Byte"},
    {"MainCmykPercent", "&Percent"},
    {"MainVisualTab", "Visual"},
    {"MainVisualXY", "&X and Y components"},
    {"MainVisualXY1", "Hue/Lightness"},
    {"MainVisualXY2", "Hue/Saturation"},
    {"MainVisualXY3", "Lightness/Saturation"},
    {"MainVisualHue", "&Hue"},
    {"MainVisualLightness", "&Lightness"},
    {"MainVisualSaturation", "&Saturation"},
    {"MainNameTab", "Name"},
    {"MainNameFile", "&File"},
    {"MainNameSort", "&Sort order"},
    {"MainNameSort1", "Alphabetical order"},
    {"MainNameSort2", "File order"},
    {"MainNameSort3", "By growing hue"},
    {"MainNameSort4", "By growing lightness"},
    {"MainNameSort5", "By growing saturation"},
    {"MainNameSort6", "By growing red"},
    {"MainNameSort7", "By growing green"},
    {"MainNameSort8", "By growing blue"},
    {"MainNameColor", "&Color name list"},
    {"MainHtmlRejected",
     "Not a color: the web code takes #rrggbb, #rgb, rrggbb or a CSS color "
     "such as rgb(), hsl(), oklch() or a name.",
     true},
    {"MainVbRejected", "Not a color: the Visual Basic code takes &Hbbggrr, up to &Hffffff.", true},
    {"MainHtmlAlpha", "Shown without its transparency (alpha %1).", true},
    {"MainHtmlMapped", "Beyond sRGB: brought to the nearest color the screen shows.", true},
    {"MainCopyAs", "Cop&y as", true},
    {"MainOklchTab", "OKLCH", true},
    {"MainOklchLightness", "&Lightness", true},
    {"MainOklchChroma", "&Chroma", true},
    {"MainOklchHue", "&Hue", true},
    {"MainOklchPercent", "&Percent", true},
    {"MainOklchThousandths", "&Thousandths", true},
    {"MainOklchMapped", "Brought into sRGB", true},
    {"MainOklchInside", "Inside sRGB: %1", true},
    {"MainOklchNowhere", "Nowhere inside sRGB", true},
    {"MainOklchRange", "%1 to %2", true},
    {"MainContrast", "Contrast", true},
    {"MainContrastNormal", "Normal text", true},
    {"MainContrastLarge", "Large text", true},
    {"MainContrastWhite", "On white", true},
    {"MainContrastBlack", "On black", true},
    {"MainContrastKept", "On kept", true},
    {"MainContrastFails", "Fails", true},
    {"MainContrastKeep", "&Keep", true},
    {"MainContrastSpoken", "%1: contrast %2 to 1, normal text %3, large text %4", true},
}};

constexpr std::array<TextKey, 23> kParam = {{
    {"ParamTitle", "Preferences"},
    {"ParamOk", "&OK"},
    {"ParamCancel", "C&ancel"},
    {"ParamStayOnTop", "Stay on top o&f running applications"},
    {"ParamStayOnTopYes", "&Yes"},
    {"ParamStayOnTopNo", "&No"},
    {"ParamPipette", "Pip&ette size"},
    {"ParamPipetteSmall", "Small (1 &pixel)"},
    {"ParamPipetteBigger", "Bi&gger (3 × 3)"},
    {"ParamPipetteMuchBigger", "M&uch bigger (7 × 7)"},
    {"ParamPanel", "&Visible panels"},
    {"ParamPanelRgb", "&RGB"},
    {"ParamPanelHls", "HL&S"},
    {"ParamPanelHsv", "&HSV"},
    {"ParamPanelCmy", "C&MY"},
    {"ParamPanelCmyk", "CMY&K"},
    {"ParamPanelOklch", "OK&LCH", true},
    {"ParamPanelVisual", "V&isual"},
    {"ParamPanelName", "&Color names"},
    {"ParamPanelHtml", "H&tml"},
    {"ParamPanelVb", "Visual &Basic"},
    {"ParamLanguage", "&Display language", true},
    {"LanguageName", "English"},
}};

constexpr std::array<TextKey, 3> kAbout = {{
    {"AboutTitle", "Tintorel"},
    {"AboutAuthor", "VRQM"},
    {"AboutVersion", "Version " TINTOREL_VERSION},
}};

} // namespace

std::span<const TextKey> MainTextKeys() {
    return kMain;
}
std::span<const TextKey> ParamTextKeys() {
    return kParam;
}
std::span<const TextKey> AboutTextKeys() {
    return kAbout;
}

const char* LaterKeyText(const char* key) {
    for (const std::span<const TextKey> table : {MainTextKeys(), ParamTextKeys()}) {
        for (const TextKey& text : table) {
            if (text.later && std::string_view(text.key) == key) {
                return text.builtIn;
            }
        }
    }
    return nullptr;
}

void LoadBuiltInTexts() {
    std::vector<BLocaleItem>& table = LanguageTable();
    table.clear();
    for (const std::span<const TextKey> keys : {MainTextKeys(), ParamTextKeys(), AboutTextKeys()}) {
        for (const TextKey& key : keys) {
            table.push_back({key.key, key.builtIn});
        }
    }
}

} // namespace tintorel
