#include "locale/texttables.h"

#include <array>

namespace tintorel {

namespace {

constexpr std::array<TextKey, 63> kMain = {{
    {"MainTitle", "Tintorel"},
    {"MainOk", "OK"},
    {"MainCancel", "Cancel"},
    {"MainHtml", "Html"},
    {"MainVb", "Visual Basic"},
    {"MainPipette", "Pipette"},
    {"MainPrefs", "Preferences"},
    {"MainPreview", "Color preview"},
    {"MainRgbTab", "RGB"},
    {"MainRgbRed", "Red"},
    {"MainRgbGreen", "Green"},
    {"MainRgbBlue", "Blue"},
    {"MainRgbByte", "Byte"},
    {"MainRgbPercent", "Percent"},
    {"MainHlsTab", "HLS"},
    {"MainHlsHue", "Hue"},
    {"MainHlsLightness", "Lightness"},
    {"MainHlsSaturation", "Saturation"},
    {"MainHlsDegreeByte", "Degree-Byte"},
    {"MainHlsDegreePercent", "Degree-Percent"},
    {"MainHlsByte", "Byte"},
    {"MainHlsPercent", "Percent"},
    {"MainHsvTab", "HSV"},
    {"MainHsvHue", "Hue"},
    {"MainHsvSaturation", "Saturation"},
    {"MainHsvValue", "Value"},
    {"MainHsvDegreeByte", "Degree-Byte"},
    {"MainHsvDegreePercent", "Degree-Percent"},
    {"MainHsvByte", "Byte"},
    {"MainHsvPercent", "Percent"},
    {"MainCmyTab", "CMY"},
    {"MainCmyCyan", "Cyan"},
    {"MainCmyMagenta", "Magenta"},
    {"MainCmyYellow", "Yellow"},
    {"MainCmyByte", "Byte"},
    {"MainCmyPercent", "Percent"},
    {"MainCmykTab", "CMYK"},
    {"MainCmykCyan", "Cyan"},
    {"MainCmykMagenta", "Magenta"},
    {"MainCmykYellow", "Yellow"},
    {"MainCmykBlack", "Black"},
    {"MainCmykByte", "Byte"},
    {"MainCmykPercent", "Percent"},
    {"MainVisualTab", "Visual"},
    {"MainVisualXY", "X and Y components"},
    {"MainVisualXY1", "Hue/Lightness"},
    {"MainVisualXY2", "Hue/Saturation"},
    {"MainVisualXY3", "Lightness/Saturation"},
    {"MainVisualHue", "Hue"},
    {"MainVisualLightness", "Lightness"},
    {"MainVisualSaturation", "Saturation"},
    {"MainNameTab", "Name"},
    {"MainNameFile", "File"},
    {"MainNameSort", "Sort order"},
    {"MainNameSort1", "Alphabetical order"},
    {"MainNameSort2", "File order"},
    {"MainNameSort3", "By growing hue"},
    {"MainNameSort4", "By growing lightness"},
    {"MainNameSort5", "By growing saturation"},
    {"MainNameSort6", "By growing red"},
    {"MainNameSort7", "By growing green"},
    {"MainNameSort8", "By growing blue"},
    {"MainNameColor", "Color name list"},
}};

constexpr std::array<TextKey, 20> kParam = {{
    {"ParamTitle", "ParamForm"},      {"ParamOk", "&OK"},
    {"ParamCancel", "Cancel"},        {"ParamStayOnTop", "Stay on top of running applications"},
    {"ParamStayOnTopYes", "Yes"},     {"ParamStayOnTopNo", "No"},
    {"ParamPipette", "Pipette size"}, {"ParamPipetteSmall", "Small"},
    {"ParamPipetteBigger", "Bigger"}, {"ParamPipetteMuchBigger", "Much bigger"},
    {"ParamPanel", "Visible panels"}, {"ParamPanelRgb", "RGB"},
    {"ParamPanelHls", "HLS"},         {"ParamPanelHsv", "HSV"},
    {"ParamPanelCmy", "CMY"},         {"ParamPanelCmyk", "CMYK"},
    {"ParamPanelVisual", "Visual"},   {"ParamPanelName", "Color names"},
    {"ParamPanelHtml", "Html"},       {"ParamPanelVb", "Visual Basic"},
}};

constexpr std::array<TextKey, 3> kAbout = {{
    {"AboutTitle", "Tintorel"},
    {"AboutAuthor", "VRQM"},
    {"AboutVersion", "Version 1.6.15"},
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

} // namespace tintorel
