// The eight orders of the colour list, lookups by name and by colour.
//
// Most orders sort by coarse classes rather than one exact number: the hue
// order puts colours into ten classes of 36 degrees and orders each class by
// lightness. The classes come from the entry rounded to 8 bits per channel.
#pragma once

#include "colourlist/colorfile.h"

#include <string>
#include <string_view>
#include <vector>

namespace tintorel {

// The numbers of the orders, as the items of the Name panel's list.
enum SortOrder : int {
    SortAlphabetical = 0,
    SortFile = 1,
    SortHue = 2,
    SortLightness = 3,
    SortSaturation = 4,
    SortRed = 5,
    SortGreen = 6,
    SortBlue = 7,
};

// The derived values the orders compare; see the order classes below.
int Hue10(const BColorStruct& entry);
int Hue100(const BColorStruct& entry);        // trunc(H × 1/360 × 100)
int Hue100ByShare(const BColorStruct& entry); // trunc(H × 100 × 1/360)
int Light100(const BColorStruct& entry);
int Light7(const BColorStruct& entry);
int Light8(const BColorStruct& entry);
int Sat5(const BColorStruct& entry);
enum class Channel { Red, Green, Blue };
int Share5(const BColorStruct& entry, Channel channel);

// Names in natural order: compared byte by byte as unsigned bytes (capitals
// before small letters, bytes above 127 last), except that a run of digits
// in both names at the same place is compared as the number it writes, so
// that "number 2" comes before "number 10". Numbers of the same value
// ("07", "7") then fall back to the bytes, so the order stays total.
bool NaturalLess(std::string_view x, std::string_view y);

// Each order is a less-than test on two entries.
struct BSortAlpha {
    bool operator()(const BColorStruct& x, const BColorStruct& y) const;
};
struct BSortFile {
    bool operator()(const BColorStruct& x, const BColorStruct& y) const;
};
struct BSortHue {
    bool operator()(const BColorStruct& x, const BColorStruct& y) const;
};
struct BSortLight {
    bool operator()(const BColorStruct& x, const BColorStruct& y) const;
};
struct BSortSat {
    bool operator()(const BColorStruct& x, const BColorStruct& y) const;
};
struct BSortShare {
    Channel channel;
    bool operator()(const BColorStruct& x, const BColorStruct& y) const;
};
struct BSortRed : BSortShare {
    BSortRed() : BSortShare{Channel::Red} {}
};
struct BSortGreen : BSortShare {
    BSortGreen() : BSortShare{Channel::Green} {}
};
struct BSortBlue : BSortShare {
    BSortBlue() : BSortShare{Channel::Blue} {}
};

// Sorts ColorList by `order` (any number outside 0..7 leaves it as it is)
// and returns the names in the new order. The sort is not stable.
std::vector<std::string> SortColorList(int order);

// The position of the first entry named exactly `name`; 0 when none is.
int FindColorIndex(const std::string& name);

// The position of the entry nearest to the colour, by squared distance in
// single precision; the first of equally near entries wins. 0 for an empty
// list.
int FindNearestColor(float red, float green, float blue);

} // namespace tintorel
