// Colour list files and the one process-wide colour list they load into.
//
// A colour list file names one colour per line, in one of three forms chosen
// by the number of fields (fields are separated by tabs, commas, semicolons
// and slashes):
//   Orange,#FF8000              name and hexadecimal code
//   Sky blue, 135, 206, 235     name and red, green, blue in 0..255
//   Olive green;0;0;100;50      name and cyan, magenta, yellow, black:
//                               above 1 a percentage, 0..1 a fraction
// Blank lines and lines starting ";", "//", "--" or "REM" are skipped; the
// first empty line ends the file. One malformed line makes the whole load
// fall back to the list "white", "black".
#pragma once

#include "colour/color.h"

#include <string>
#include <string_view>
#include <vector>

namespace tintorel {

struct BColorStruct {
    BColorRgb Color{0, 0, 0};
    std::string Name;  // exactly as read, spaces kept
    int FileIndex = 0; // position among the entries added since the list was emptied
};

// The process-wide colour list. Never empty after the first load.
std::vector<BColorStruct>& ColorList();

// The file-name part of the path the last load was given.
std::string& CurrentColorFileName();

// Loads the file at `path` into ColorList in file order. A file that cannot
// be opened keeps the previous list (or gives the fall-back list when the
// list was empty); a file without a good entry, or with a malformed line
// before its first empty line, gives the fall-back list.
void LoadColorFile(const std::string& path);

// The same for a list's text already in memory, as a file named `fileName`
// that opened and holds `contents`.
void LoadColorText(std::string_view contents, const std::string& fileName);

// The colour list files that the pattern `colorDir` + "*.txt" matches: the
// setting is a plain prefix, so it names a folder only when it ends with
// "/" (empty: the working folder). Regular, not hidden, files whose names
// end in ".txt" in any letter case, sorted by name.
std::vector<std::string> ListColorFiles(const std::string& colorDir);

// Empties the list and adds "white" and "black".
void ResetToDefaultColors();

// Appends an entry with the components given as bytes (0..255).
void AddColor(const std::string& name, int red, int green, int blue);

// Each appends one entry and returns +1 for a well-formed line, or appends
// nothing and returns -1 for a malformed one.
int ParseHexLine(const std::string& name, const std::string& code);
int ParseRgbLine(const std::string& name, const std::string& red, const std::string& green,
                 const std::string& blue);
int ParseCmykLine(const std::string& name, const std::string& cyan, const std::string& magenta,
                  const std::string& yellow, const std::string& black);

} // namespace tintorel
