// Whole colour list files: load, every sort order, lookups. The list must
// never end up empty and every lookup must land inside it.
#include "colourlist/colorfile.h"
#include "colourlist/colorname.h"
#include "colourlist/colorsort.h"
#include "fuzzfile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tintorel;
    LoadColorFile(fuzz::WriteInput(data, size));
    if (ColorList().empty()) {
        std::abort();
    }
    for (int order = -1; order <= 8; ++order) {
        const std::vector<std::string> names = SortColorList(order);
        if (names.size() != ColorList().size()) {
            std::abort();
        }
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
