// The web colour code (#rrggbb) and the Visual Basic colour literal
// (&Hbbggrr, blue in the high byte). Both truncate each component to a byte
// rather than round it, but a colour that came from bytes shows exactly those
// bytes again, whatever colour space it went through.
#pragma once

#include <string>

namespace tintorel {

struct ByteRgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const ByteRgb&) const = default;
};

// The bytes both codes show for a colour: trunc(component × 255 + 1/256)
// each, so that k / 255 shows k even after float round trips while 127.5
// still shows 127.
ByteRgb CodeBytes(float red, float green, float blue);

// "#%2.2x%2.2x%2.2x" of trunc(component × 255 + 1/256), red first.
std::string HtmlCode(float red, float green, float blue);
// "&H%x" of r + 256 × g + 65536 × b, each byte as in HtmlCode.
std::string VisualBasicCode(float red, float green, float blue);

// "#rrggbb" or "#rgb" (each digit doubled), hexadecimal digits of either
// case, nothing else. False for anything incomplete or invalid.
bool ParseHtmlCode(const std::string& text, ByteRgb& colour);
// "&H" (capital H), then optional white space, an optional sign and
// hexadecimal digits, 3 to 8 characters in all; a minus sign negates modulo
// 2^32 and the first six digits of the zero-padded value are blue, green,
// red. False when no digit can be read.
bool ParseVisualBasicCode(const std::string& text, ByteRgb& colour);

} // namespace tintorel
