// The REGEDIT4 text form in which the settings store keeps its tree, so that
// a person can read and edit it by hand:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\VRQM\Tintorel\Color]
//   "Red"=hex:00,00,00,00,00,00,e0,3f
//   "ColorDir"="/usr/share/tintorel/colours/"
//   "Tab"=dword:00000006
//
// Texts are written between quotes with \\ and \" escapes; other types as
// dword:, hex: (binary) and hex(N): for type N. A line that cannot be read is
// kept as it stands, in its place, when the file is written again.
#pragma once

#include "platform/store/registry.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

namespace tintorel {

struct RegEntry {
    std::string name; // the value's name; empty for the default value "@"
    RegValue value;
};

// A line the parser could not read, kept verbatim.
struct RegRawLine {
    std::string text;
};

struct RegSection {
    std::string path; // the full path as written, "HKEY_CURRENT_USER\..."
    std::vector<std::variant<RegEntry, RegRawLine>> lines;
    std::string comment; // what follows the header's "]", a comment, kept as written
};

// A file edited by hand may hold a key in several sections and a value
// several times; as when such a file is imported, the later one wins.
struct RegDocument {
    std::vector<RegRawLine> preamble; // unreadable lines before the first section
    std::vector<RegSection> sections;

    // The last section whose path equals `path` (letter case ignored), or
    // null: where a value of that key is written.
    RegSection* Find(std::string_view path);
    const RegSection* Find(std::string_view path) const;
    // The places in `sections` of every section of that key, in file order.
    const std::vector<std::size_t>& SectionsOf(std::string_view path) const;

private:
    // Where each key's sections are, by its path in lower case, so that a
    // lookup does not read every section. Sections are only ever added at
    // the end; the index catches up with them on the next lookup, and is
    // made anew should it ever disagree with them.
    mutable std::unordered_map<std::string, std::vector<std::size_t>> index_;
    mutable std::size_t indexed_ = 0;
};

// The value that counts: the last of that name in the last section of that
// key that holds one. Null when there is none.
const RegValue* FindRegValue(const RegDocument& document, std::string_view path,
                             std::string_view name);

RegDocument ParseRegFile(std::string_view text);
std::string FormatRegFile(const RegDocument& document);

// The registry's comparison of key and value names.
bool SameRegName(std::string_view a, std::string_view b);

// Sets `name` in `section`, replacing the last value of that name in its
// place or appending it.
void SetRegValue(RegSection& section, const std::string& name, const RegValue& value);
// The last value of that name in `section`, or null.
const RegValue* FindRegValue(const RegSection& section, std::string_view name);

} // namespace tintorel
