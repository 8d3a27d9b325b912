#include "locale/texttables.h"

#include "locale/language.h"
#include "version.h"

#include <array>
#include <string_view>

namespace tintorel {

namespace {

constexpr std::array<TextKey, 68> kMain = {{
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
    {"MainHtmlRejected", "Not a color: the web code takes #rrggbb, #rgb, rrggbb or a CSS color "
                         "such as rgb(), hsl(), oklch() or a name."},
    {"MainVbRejected", "Not a color: the Visual Basic code takes &Hbbggrr, up to &Hffffff."},
    {"MainHtmlAlpha", "Shown without its transparency (alpha %1)."},
    {"MainHtmlMapped", "Beyond sRGB: brought to the nearest color the screen shows."},
    {"MainCopyAs", "Cop&y as"},
}};

constexpr std::array<TextKey, 22> kParam = {{
    {"ParamTitle", "Preferences"},
    {"ParamOk", "&OK"},
    {"ParamCancel", "C&ancel"},
    {"ParamStayOnTop", "&Stay on top of running applications"},
    {"ParamStayOnTopYes", "&Yes"},
    {"ParamStayOnTopNo", "&No"},
    {"ParamPipette", "Pip&ette size"},
    {"ParamPipetteSmall", "Small (1 &pixel)"},
    {"ParamPipetteBigger", "Bi&gger (3 × 3)"},
    {"ParamPipetteMuchBigger", "M&uch bigger (7 × 7)"},
    {"ParamPanel", "&Visible panels"},
    {"ParamPanelRgb", "&RGB"},
    {"ParamPanelHls", "H&LS"},
    {"ParamPanelHsv", "&HSV"},
    {"ParamPanelCmy", "C&MY"},
    {"ParamPanelCmyk", "CMY&K"},
    {"ParamPanelVisual", "V&isual"},
    {"ParamPanelName", "&Color names"},
    {"ParamPanelHtml", "H&tml"},
    {"ParamPanelVb", "Visual &Basic"},
    {"ParamLanguage", "&Display language"},
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
    static constexpr std::array<const char*, 6> kLater{"MainHtmlRejected", "MainVbRejected",
                                                       "MainHtmlAlpha",    "MainHtmlMapped",
                                                       "MainCopyAs",       "ParamLanguage"};
    for (const char* later : kLater) {
        if (std::string_view(later) == key) {
            for (const std::span<const TextKey> table : {MainTextKeys(), ParamTextKeys()}) {
                for (const TextKey& text : table) {
                    if (std::string_view(text.key) == key) {
                        return text.builtIn;
                    }
                }
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
