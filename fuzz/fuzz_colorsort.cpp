// Every sort order over the lists that colour list texts give: each order
// keeps every entry, and any order number, known or not, gives a list.
#include "colourlist/colorfile.h"
#include "colourlist/colorsort.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tintorel;
    LoadColorText(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.txt");
    for (int order = -1; order <= 8; ++order) {
        const std::vector<std::string> names = SortColorList(order);
        if (names.size() != ColorList().size()) {
            std::abort();
        }
    }
    return 0;
}
