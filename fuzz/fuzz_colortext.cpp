// Every colour class's text form, read from anything, then written and
// converted: no undefined behaviour for any number a text can hold.
#include "colour/color.h"

#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tintorel;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<BColor> colours[] = {
        std::make_unique<BColorRgb>(0.f, 0.f, 0.f), std::make_unique<BColorHls>(0.f, 0.f, 0.f),
        std::make_unique<BColorHsv>(0.f, 0.f, 0.f), std::make_unique<BColorCmy>(0.f, 0.f, 0.f),
        std::make_unique<BColorCmyk>(0.f, 0.f, 0.f, 0.f)};
    for (auto& colour : colours) {
        colour->FromText(text);
        (void)colour->ToText();
        const PackedColor packed = colour->ToColor();
        colour->FromColor(packed);
        float r = 0, g = 0, b = 0;
        colour->ToRgb(r, g, b);
        colours[1]->FromRgb(r, g, b);
        colours[2]->FromRgb(r, g, b);
        colours[4]->FromRgb(r, g, b);
    }
    return 0;
}
