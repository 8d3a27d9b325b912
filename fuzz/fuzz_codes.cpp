// Typed colour codes: whatever reads as a code gives bytes, and the code
// written for those bytes reads back as the same bytes.
#include "colour/colorcodes.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tintorel;
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const bool html : {true, false}) {
        ByteRgb colour;
        if (!(html ? ParseHtmlCode(text, colour) : ParseVisualBasicCode(text, colour))) {
            continue;
        }
        for (const int channel : {colour.red, colour.green, colour.blue}) {
            if (channel < 0 || channel > 255) {
                std::abort();
            }
        }
        const float r = static_cast<float>(colour.red / 255.0);
        const float g = static_cast<float>(colour.green / 255.0);
        const float b = static_cast<float>(colour.blue / 255.0);
        ByteRgb again;
        if (!ParseHtmlCode(HtmlCode(r, g, b), again) || again.red != colour.red ||
            again.green != colour.green || again.blue != colour.blue) {
            std::abort();
        }
        if (!ParseVisualBasicCode(VisualBasicCode(r, g, b), again) || again.red != colour.red ||
            again.green != colour.green || again.blue != colour.blue) {
            std::abort();
        }
    }
    return 0;
}
