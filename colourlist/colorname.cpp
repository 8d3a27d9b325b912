#include "colourlist/colorname.h"

#include "colourlist/colorfile.h"
#include "colourlist/colorsort.h"
#include "util/utilstring.h"

#include <vector>

namespace tintorel {

void BColorName::ToRgb(float& red, float& green, float& blue) const {
    const std::vector<BColorStruct>& list = ColorList();
    if (list.empty()) {
        red = green = blue = 0.0f;
        return;
    }
    list[static_cast<std::size_t>(FindColorIndex(name_))].Color.ToRgb(red, green, blue);
}

void BColorName::FromRgb(float red, float green, float blue) {
    const std::vector<BColorStruct>& list = ColorList();
    if (!list.empty()) {
        name_ = list[static_cast<std::size_t>(FindNearestColor(red, green, blue))].Name;
    }
}

std::string BColorName::ToText() const {
    return "Name|" + CurrentColorFileName() + "|" + name_;
}

void BColorName::FromText(std::string text) {
    std::vector<std::string> fields;
    SplitTokens(text, "|", fields);
    if (fields.size() != 3) {
        return;
    }
    LoadColorFile(fields[1]);
    name_ = fields[2];
}

} // namespace tintorel
