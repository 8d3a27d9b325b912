// Colours as style sheets write them (CSS Color Module Level 4): the named
// colours, hexadecimal codes of 3, 4, 6 and 8 digits, and the functions
// rgb(), rgba(), hsl(), hsla() (with commas or spaces), hwb(), lab(),
// lch(), oklab(), oklch() and color() with its predefined spaces, with
// `none`, percentages and angle units. calc() and relative colours are not
// read. A colour beyond sRGB is brought into it in OKLCH.
#pragma once

#include "colour/oklab.h"

#include <optional>
#include <string_view>

namespace tintorel {

struct CssColour {
    Rgb srgb{};          // components in 0..1
    double alpha = 1.0;  // 0..1; the program shows the colour without it
    bool mapped = false; // brought into sRGB from beyond it
};

// The colour a text names, or nothing when the text as a whole is not one
// colour (never a part of it). Letter case and surrounding spaces do not
// matter.
std::optional<CssColour> ParseCssColour(std::string_view text);

} // namespace tintorel
