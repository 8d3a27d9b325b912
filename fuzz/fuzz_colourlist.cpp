// Colour list texts, parsed from memory: the list must never end up empty,
// and every lookup must land inside it.
#include "colourlist/colorfile.h"
#include "colourlist/colorname.h"
#include "colourlist/colorsort.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tintorel;
    LoadColorText(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.txt");
    if (ColorList().empty()) {
        std::abort();
    }
    const int nearest = FindNearestColor(0.3f, 0.6f, 0.9f);
    const int found = FindColorIndex(ColorList().back().Name);
    if (nearest < 0 || static_cast<std::size_t>(nearest) >= ColorList().size() || found < 0 ||
        static_cast<std::size_t>(found) >= ColorList().size()) {
        std::abort();
    }
    BColorName named(ColorList().front().Name);
    named.FromColor(named.ToColor() ^ 0x00808080u);
    return 0;
}
