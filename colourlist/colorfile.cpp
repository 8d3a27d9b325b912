#include "colourlist/colorfile.h"

#include "util/utilfile.h"
#include "util/utilnumber.h"
#include "util/utilstring.h"

#include <algorithm>
#include <string_view>

namespace tintorel {

namespace {

constexpr const char* kFieldDelimiters = "\t,;/";

// One two-character piece of a hexadecimal code, read as strtol reads it
// (white space, sign, digits, rest ignored). A piece without any
// hexadecimal digit, as in "#GG0000", gives -1, which fails the range check.
int HexPiece(const std::string& code, std::size_t at) {
    const std::string_view piece = std::string_view(code).substr(at, 2);
    std::size_t i = 0;
    while (i < piece.size() && IsSpaceC(piece[i])) {
        ++i;
    }
    bool negative = false;
    if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) {
        negative = piece[i] == '-';
        ++i;
    }
    int value = 0;
    bool digits = false;
    for (; i < piece.size() && HexDigitValue(piece[i]) >= 0; ++i) {
        value = value * 16 + HexDigitValue(piece[i]);
        digits = true;
    }
    if (!digits) {
        return -1;
    }
    return negative ? -value : value;
}

bool ReadByte(const std::string& field, int& value) {
    bool overflow = false;
    const long number = TextToLong(field, &overflow);
    if (overflow || number < 0 || number > 255) {
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

// A CMYK amount: above 1 a percentage, from 0 to 1 a fraction.
bool ReadInk(const std::string& field, float& value) {
    bool overflow = false;
    const double number = TextToReal(field, &overflow);
    if (overflow || number < 0.0 || number > 100.0) {
        return false;
    }
    value = static_cast<float>(number > 1.0 ? number * 0.01 : number);
    return true;
}

} // namespace

std::vector<BColorStruct>& ColorList() {
    static std::vector<BColorStruct> list;
    return list;
}

std::string& CurrentColorFileName() {
    static std::string name;
    return name;
}

void AddColor(const std::string& name, int red, int green, int blue) {
    constexpr double kByte = 1.0 / 255.0;
    std::vector<BColorStruct>& list = ColorList();
    BColorStruct entry;
    entry.Color = BColorRgb(static_cast<float>(red * kByte), static_cast<float>(green * kByte),
                            static_cast<float>(blue * kByte));
    entry.Name = name;
    entry.FileIndex = static_cast<int>(list.size());
    list.push_back(std::move(entry));
}

void ResetToDefaultColors() {
    ColorList().clear();
    AddColor("white", 255, 255, 255);
    AddColor("black", 0, 0, 0);
}

int ParseHexLine(const std::string& name, const std::string& code) {
    if (code.size() != 7 || code[0] != '#') {
        return -1;
    }
    const int red = HexPiece(code, 1);
    const int green = HexPiece(code, 3);
    const int blue = HexPiece(code, 5);
    if (red < 0 || red > 255 || green < 0 || green > 255 || blue < 0 || blue > 255) {
        return -1;
    }
    AddColor(name, red, green, blue);
    return 1;
}

int ParseRgbLine(const std::string& name, const std::string& red, const std::string& green,
                 const std::string& blue) {
    int r = 0;
    int g = 0;
    int b = 0;
    if (!ReadByte(red, r) || !ReadByte(green, g) || !ReadByte(blue, b)) {
        return -1;
    }
    AddColor(name, r, g, b);
    return 1;
}

int ParseCmykLine(const std::string& name, const std::string& cyan, const std::string& magenta,
                  const std::string& yellow, const std::string& black) {
    float c = 0;
    float m = 0;
    float y = 0;
    float k = 0;
    if (!ReadInk(cyan, c) || !ReadInk(magenta, m) || !ReadInk(yellow, y) || !ReadInk(black, k)) {
        return -1;
    }
    float red = 0;
    float green = 0;
    float blue = 0;
    BColorCmyk(c, m, y, k).ToRgb(red, green, blue);
    // Truncated, not rounded: a CMYK entry keeps the byte below when the
    // conversion lands between two.
    AddColor(name, TruncToInt(red * 255.0), TruncToInt(green * 255.0), TruncToInt(blue * 255.0));
    return 1;
}

std::vector<std::string> ListColorFiles(const std::string& colorDir) {
    const std::string::size_type slash = colorDir.rfind('/');
    // Without a slash the whole setting is a prefix of names in the working
    // folder, and paths are the bare names.
    const std::string folder = slash == std::string::npos ? "" : colorDir.substr(0, slash + 1);
    const std::string prefix = slash == std::string::npos ? colorDir : colorDir.substr(slash + 1);
    // Listings come in no useful order on Linux file systems; they are
    // shown by name.
    std::vector<std::string> names;
    for (std::string& name : ListTextFiles(folder)) {
        if (name.size() >= prefix.size() + 4 && name.compare(0, prefix.size(), prefix) == 0) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

namespace {

// The lines of a list's text up to its first empty line. `opened` says the
// text is a file's: an opened file empties the list even without a line.
void LoadColorLines(bool opened, std::string_view contents) {
    int lineResult = 0;
    bool cleared = false;
    std::vector<std::string> fields;
    std::string line; // one buffer for every line: a list has hundreds
    std::string_view rest = contents;
    std::string_view piece;
    while (opened && NextTextLine(rest, piece) && !piece.empty()) {
        if (!cleared) {
            cleared = true;
            ColorList().clear();
        }
        line.assign(piece);
        if (IsCommentLine(line)) {
            lineResult = 0;
        } else {
            fields.clear();
            SplitTokens(line, kFieldDelimiters, fields);
            switch (fields.size()) {
            case 2:
                lineResult = ParseHexLine(fields[0], fields[1]);
                break;
            case 4:
                lineResult = ParseRgbLine(fields[0], fields[1], fields[2], fields[3]);
                break;
            case 5:
                lineResult = ParseCmykLine(fields[0], fields[1], fields[2], fields[3], fields[4]);
                break;
            default:
                break; // other field counts are ignored
            }
        }
        if (lineResult < 0) {
            break;
        }
    }
    if (opened && !cleared) {
        ColorList().clear();
    }
    if (ColorList().empty() || lineResult < 0) {
        ResetToDefaultColors();
    }
}

} // namespace

void LoadColorFile(const std::string& path) {
    CurrentColorFileName() = FileNamePart(path);
    std::string contents;
    const bool opened = ReadTextFile(path, contents);
    LoadColorLines(opened, contents);
}

void LoadColorText(std::string_view contents, const std::string& fileName) {
    CurrentColorFileName() = fileName;
    LoadColorLines(true, contents);
}

} // namespace tintorel
