// Reading any colour's components in storage order, so that tables of
// expected values can cover every class at once.
#pragma once

#include "colour/color.h"

#include <ostream>
#include <vector>

namespace tintorel {

inline std::vector<float> Components(const BColor& colour) {
    if (const auto* c = dynamic_cast<const BColorRgb*>(&colour)) {
        return {c->Red(), c->Green(), c->Blue()};
    }
    if (const auto* c = dynamic_cast<const BColorHls*>(&colour)) {
        return {c->Hue(), c->Lightness(), c->Saturation()};
    }
    if (const auto* c = dynamic_cast<const BColorHsv*>(&colour)) {
        return {c->Hue(), c->Saturation(), c->Value()};
    }
    if (const auto* c = dynamic_cast<const BColorCmy*>(&colour)) {
        return {c->Cyan(), c->Magenta(), c->Yellow()};
    }
    if (const auto* c = dynamic_cast<const BColorCmyk*>(&colour)) {
        return {c->Cyan(), c->Magenta(), c->Yellow(), c->Black()};
    }
    return {};
}

inline void PrintTo(const BColor& colour, std::ostream* out) {
    *out << colour.ToText();
}

} // namespace tintorel
