// The web colour code (#rrggbb) and the Visual Basic colour literal
// (&Hbbggrr, blue in the high byte). Both truncate each component to a byte
// rather than round it.
#pragma once

#include <string>

namespace tintorel {

// "#%2.2x%2.2x%2.2x" of trunc(component × 255), red first.
std::string HtmlCode(float red, float green, float blue);
// "&H%x" of trunc(r × 255) + 256 × trunc(g × 255) + 65536 × trunc(b × 255).
std::string VisualBasicCode(float red, float green, float blue);

struct ByteRgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// "#rrggbb" or "#rgb" (each digit doubled), hexadecimal digits of either
// case, nothing else. False for anything incomplete or invalid.
bool ParseHtmlCode(const std::string& text, ByteRgb& colour);
// "&H" (capital H), then optional white space, an optional sign and
// hexadecimal digits, 3 to 8 characters in all; a minus sign negates modulo
// 2^32 and the first six digits of the zero-padded value are blue, green,
// red. False when no digit can be read.
bool ParseVisualBasicCode(const std::string& text, ByteRgb& colour);

} // namespace tintorel
