// Colours pasted from style sheets: whatever reads as a colour gives
// components inside sRGB and an alpha inside 0..1, never a number that is
// not one; the same text always reads the same.
#include "colour/csscolour.h"

#include <cmath>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tintorel;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<CssColour> colour = ParseCssColour(text);
    if (!colour) {
        return 0;
    }
    for (const double c : colour->srgb) {
        if (!(c >= 0.0 && c <= 1.0)) {
            std::abort();
        }
    }
    if (!(colour->alpha >= 0.0 && colour->alpha <= 1.0)) {
        std::abort();
    }
    const std::optional<CssColour> again = ParseCssColour(text);
    if (!again || again->srgb != colour->srgb || again->alpha != colour->alpha ||
        again->mapped != colour->mapped) {
        std::abort();
    }
    return 0;
}
