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

// What people paste, taken whole or not at all: white space around the
// text is trimmed; then "#rrggbb", "#rgb" (each digit doubled) or "rrggbb"
// without the "#", hexadecimal digits of either case. False for anything
// else, incomplete or longer: a longer text is never cut into a colour.
bool ParseHtmlCode(const std::string& text, ByteRgb& colour);
// White space around the text trimmed; then "&H" or "&h", one to eight
// hexadecimal digits of a value up to ffffff (blue in the high byte), and
// optionally Visual Basic's "&" suffix of a Long. False for anything else:
// a larger value (a system colour such as &H80000005) is not a colour.
bool ParseVisualBasicCode(const std::string& text, ByteRgb& colour);

} // namespace tintorel
