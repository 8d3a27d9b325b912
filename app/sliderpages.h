// The six pages of sliders (RGB, HLS, HSV, CMY, CMYK, OKLCH), each described
// once: its tab, its rows of label and slider, its range radio buttons with
// the maxima each sets, the setting its maxima are kept in, and how its
// colour is made from the components the sliders show and read back into
// them.
// The main window builds, reads, writes and connects every page in loops
// over this table.
#pragma once

#include "colour/color.h"
#include "settings/params.h"

#include <array>
#include <memory>
#include <span>

namespace tintorel {

struct SliderRow {
    const char* label;  // object name of the row's label
    const char* slider; // object name of its slider
    const char* key;    // language key of the label's caption
    float scale;        // the component's full range: 360 for a hue, else 1
                        // (0.4 for OKLCH's chroma)
};

// A range radio button and the slider maxima it sets.
struct RangeChoice {
    const char* radio;
    const char* key;
    std::array<int, 4> maxima;
};

struct SliderPageEntry {
    int page; // index in pagColorSpace
    const char* tab;
    const char* tabKey;
    std::span<const SliderRow> rows;
    std::span<const RangeChoice> modes; // two to a line, in reading order
    const RangeSetting* range;
    // The page's colour from its components in row order (slider fraction
    // times the row's scale).
    std::unique_ptr<BColor> (*make)(std::span<const float> components);
    // The components of a colour of exactly the page's class; false for any
    // other class, which the page does not show.
    bool (*read)(const BColor& colour, std::span<float> components);
};

std::span<const SliderPageEntry> SliderPages();
// The row of a page index, or null for the Visual and Name pages.
const SliderPageEntry* SliderPage(int page);

} // namespace tintorel
