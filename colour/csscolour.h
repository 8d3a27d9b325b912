// Colours as style sheets write them (CSS Color Module Level 4): the named
// colours, hexadecimal codes of 3, 4, 6 and 8 digits, and the functions
// rgb(), rgba(), hsl(), hsla() (with commas or spaces), hwb(), lab(),
// lch(), oklab(), oklch() and color() with its predefined spaces, with
// `none`, percentages and angle units. calc() and relative colours are not
// read. A colour beyond sRGB is brought into it in OKLCH.
#pragma once

#include "colour/oklab.h"

#include <optional>
#include <string>
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

// A colour of sRGB written in one of the notations, as short as its bytes
// allow and read back by ParseCssColour as the same bytes:
// "#3366cc", "rgb(51 102 204)", "hsl(220 60% 50%)",
// "oklch(52.461% 0.15961 262.121)".
enum class CssForm { Hex, Rgb, Hsl, Oklch };
std::string CssText(const Rgb& srgb, CssForm form);

} // namespace tintorel
