#include "platform/store/regfile.h"

#include "util/utilnumber.h"

#include <array>
#include <cstdio>

namespace tintorel {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    return s;
}

// A quoted text at the start of `s`, with \\ and \" unescaped; any other
// backslash stands for itself, as people write paths by hand. Moves `s` past
// the closing quote.
bool ReadQuoted(std::string_view& s, std::string& out) {
    if (s.empty() || s.front() != '"') {
        return false;
    }
    out.clear();
    for (std::size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return true;
        }
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            out += s[++i];
        } else {
            out += c;
        }
    }
    return false;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && SameRegName(s.substr(0, prefix.size()), prefix);
}

// "00,1f, ab" and so on; an empty list is zero bytes.
bool ReadHexBytes(std::string_view s, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    s = TrimLeft(TrimRight(s));
    while (!s.empty()) {
        if (s.size() < 2 || HexDigitValue(s[0]) < 0 || HexDigitValue(s[1]) < 0) {
            return false;
        }
        bytes.push_back(static_cast<std::uint8_t>(HexDigitValue(s[0]) * 16 + HexDigitValue(s[1])));
        s = TrimLeft(s.substr(2));
        if (s.empty()) {
            break;
        }
        if (s.front() != ',') {
            return false;
        }
        s = TrimLeft(s.substr(1));
        if (s.empty()) {
            return false; // a trailing comma promises another byte
        }
    }
    return true;
}

bool ReadData(std::string_view s, RegValue& value) {
    s = TrimLeft(s);
    if (!s.empty() && s.front() == '"') {
        std::string text;
        if (!ReadQuoted(s, text) || !TrimRight(s).empty()) {
            return false;
        }
        value.type = RegSz;
        value.data.assign(text.begin(), text.end());
        value.data.push_back(0);
        return true;
    }
    if (StartsWithNoCase(s, "dword:")) {
        const std::string_view digits = TrimRight(s.substr(6));
        if (digits.empty() || digits.size() > 8) {
            return false;
        }
        std::uint32_t number = 0;
        for (const char c : digits) {
            if (HexDigitValue(c) < 0) {
                return false;
            }
            number = number << 4 | static_cast<std::uint32_t>(HexDigitValue(c));
        }
        value.type = RegDword;
        value.data = {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                      static_cast<std::uint8_t>(number >> 16),
                      static_cast<std::uint8_t>(number >> 24)};
        return true;
    }
    if (StartsWithNoCase(s, "hex:")) {
        value.type = RegBinary;
        return ReadHexBytes(s.substr(4), value.data);
    }
    if (StartsWithNoCase(s, "hex(")) {
        const std::size_t close = s.find("):");
        if (close == std::string_view::npos || close == 4 || close > 12) {
            return false;
        }
        std::uint32_t type = 0;
        for (const char c : s.substr(4, close - 4)) {
            if (HexDigitValue(c) < 0) {
                return false;
            }
            type = type << 4 | static_cast<std::uint32_t>(HexDigitValue(c));
        }
        value.type = type;
        return ReadHexBytes(s.substr(close + 2), value.data);
    }
    return false;
}

bool IsHexValueLine(std::string_view line) {
    const std::size_t quote = line.rfind('"');
    const std::string_view rest = line.substr(quote == std::string_view::npos ? 0 : quote);
    return rest.find("=hex") != std::string_view::npos ||
           rest.find("=HEX") != std::string_view::npos;
}

// Only a value's line wraps: a key's header ends at its line's end, even where
// a comment after it reads like a hexadecimal list.
bool StartsValue(std::string_view line) {
    line = TrimLeft(line);
    return !line.empty() && (line.front() == '"' || line.front() == '@');
}

bool ReadEntry(std::string_view line, RegEntry& entry) {
    if (line.empty()) {
        return false;
    }
    if (line.front() == '@') {
        entry.name.clear();
        line.remove_prefix(1);
    } else if (!ReadQuoted(line, entry.name)) {
        return false;
    }
    line = TrimLeft(line);
    if (line.empty() || line.front() != '=') {
        return false;
    }
    return ReadData(line.substr(1), entry.value);
}

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
    return out;
}

std::string HexList(const std::vector<std::uint8_t>& data) {
    std::string out;
    std::array<char, 4> piece{};
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(piece.data(), piece.size(), i == 0 ? "%02x" : ",%02x", data[i]);
        out += piece.data();
    }
    return out;
}

// A text that a quoted line can hold exactly: one final zero byte and no
// other zero byte or line break.
bool FitsQuoted(const std::vector<std::uint8_t>& data) {
    if (data.empty() || data.back() != 0) {
        return false;
    }
    for (std::size_t i = 0; i + 1 < data.size(); ++i) {
        if (data[i] == 0 || data[i] == '\n' || data[i] == '\r') {
            return false;
        }
    }
    return true;
}

std::string FormatEntry(const RegEntry& entry) {
    std::string line = entry.name.empty() ? std::string("@") : Quote(entry.name);
    line += '=';
    const RegValue& v = entry.value;
    if (v.type == RegSz && FitsQuoted(v.data)) {
        line += Quote(
            std::string_view(reinterpret_cast<const char*>(v.data.data()), v.data.size() - 1));
    } else if (v.type == RegDword && v.data.size() == 4) {
        std::array<char, 16> digits{};
        const std::uint32_t number = v.data[0] | v.data[1] << 8 | v.data[2] << 16 |
                                     static_cast<std::uint32_t>(v.data[3]) << 24;
        std::snprintf(digits.data(), digits.size(), "dword:%08x", number);
        line += digits.data();
    } else if (v.type == RegBinary) {
        line += "hex:" + HexList(v.data);
    } else {
        std::array<char, 24> type{};
        std::snprintf(type.data(), type.size(), "hex(%x):", v.type);
        line += type.data() + HexList(v.data);
    }
    return line;
}

} // namespace

bool SameRegName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

namespace {

std::string Folded(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        c = LowerAscii(c);
    }
    return folded;
}

} // namespace

const std::vector<std::size_t>& RegDocument::SectionsOf(std::string_view path) const {
    static const std::vector<std::size_t> none;
    if (indexed_ > sections.size()) {
        index_.clear();
        indexed_ = 0;
    }
    for (; indexed_ < sections.size(); ++indexed_) {
        index_[Folded(sections[indexed_].path)].push_back(indexed_);
    }
    const auto found = index_.find(Folded(path));
    if (found == index_.end()) {
        return none;
    }
    for (const std::size_t at : found->second) {
        if (at >= sections.size() || !SameRegName(sections[at].path, path)) {
            // Sections were changed some other way than by adding: start over.
            index_.clear();
            indexed_ = 0;
            return SectionsOf(path);
        }
    }
    return found->second;
}

RegSection* RegDocument::Find(std::string_view path) {
    const std::vector<std::size_t>& places = SectionsOf(path);
    return places.empty() ? nullptr : &sections[places.back()];
}

const RegSection* RegDocument::Find(std::string_view path) const {
    return const_cast<RegDocument*>(this)->Find(path);
}

namespace {

template <class Section> auto* LastEntry(Section& section, std::string_view name) {
    decltype(std::get_if<RegEntry>(&section.lines.front())) found = nullptr;
    for (auto& line : section.lines) {
        if (auto* entry = std::get_if<RegEntry>(&line); entry && SameRegName(entry->name, name)) {
            found = entry;
        }
    }
    return found;
}

// A key header: "[path]", optionally followed by a comment. The first "]"
// after which only a comment or nothing follows ends the path, so a path
// may itself hold a "]".
bool ReadHeader(std::string_view line, std::string& path, std::string& comment) {
    if (line.size() < 3 || line.front() != '[' || line[1] == '-') {
        return false;
    }
    for (std::size_t close = line.find(']', 2); close != std::string_view::npos;
         close = line.find(']', close + 1)) {
        const std::string_view rest = TrimLeft(line.substr(close + 1));
        if (rest.empty() || rest.front() == ';') {
            path = line.substr(1, close - 1);
            comment = line.substr(close + 1);
            return true;
        }
    }
    return false;
}

} // namespace

const RegValue* FindRegValue(const RegSection& section, std::string_view name) {
    const RegEntry* entry = LastEntry(section, name);
    return entry ? &entry->value : nullptr;
}

const RegValue* FindRegValue(const RegDocument& document, std::string_view path,
                             std::string_view name) {
    const std::vector<std::size_t>& places = document.SectionsOf(path);
    for (auto at = places.rbegin(); at != places.rend(); ++at) {
        if (const RegValue* value = FindRegValue(document.sections[*at], name)) {
            return value;
        }
    }
    return nullptr;
}

void SetRegValue(RegSection& section, const std::string& name, const RegValue& value) {
    if (RegEntry* entry = LastEntry(section, name)) {
        entry->value = value;
        return;
    }
    section.lines.emplace_back(RegEntry{name, value});
}

RegDocument ParseRegFile(std::string_view text) {
    RegDocument document;
    RegSection* section = nullptr;
    bool first = true;
    std::size_t pendingBlanks = 0;
    while (!text.empty()) {
        // One logical line: a hexadecimal list ending in a backslash goes on
        // in the next line, as the registry editor wraps long lists; its
        // continuation lines are indented, so a blank or unindented line
        // never continues one.
        std::string raw;
        std::string joined;
        for (;;) {
            const std::size_t feed = text.find('\n');
            std::string_view line = text.substr(0, feed);
            text = feed == std::string_view::npos ? std::string_view() : text.substr(feed + 1);
            // A kept line keeps its bytes, a carriage return included; only
            // reading a value looks past it.
            if (!raw.empty() || !joined.empty()) {
                raw += '\n';
            }
            raw += line;
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            const std::string_view trimmed = TrimRight(line);
            joined += joined.empty() ? trimmed : TrimLeft(trimmed);
            const bool goesOn = StartsValue(joined) && joined.back() == '\\' &&
                                IsHexValueLine(joined) &&
                                (text.starts_with(' ') || text.starts_with('\t')) &&
                                !TrimLeft(TrimRight(text.substr(0, text.find('\n')))).empty();
            if (!goesOn) {
                break;
            }
            joined.pop_back();
        }
        const bool wasFirst = first;
        first = false;
        const std::string_view line = TrimLeft(std::string_view(joined));
        if (line.empty()) {
            // Blank lines after a section's last line only separate sections
            // and are written anew; those between two lines are kept, so
            // that lines once apart never run together when written again.
            ++pendingBlanks;
            continue;
        }
        if (wasFirst && (line == kHeader || line.starts_with("Windows Registry Editor"))) {
            continue;
        }
        if (std::string path, comment; ReadHeader(line, path, comment)) {
            document.sections.push_back({std::move(path), {}, std::move(comment)});
            section = &document.sections.back();
            pendingBlanks = 0;
            continue;
        }
        if (section != nullptr && !section->lines.empty()) {
            section->lines.insert(section->lines.end(), pendingBlanks, RegRawLine{});
        } else if (section == nullptr && !document.preamble.empty()) {
            document.preamble.insert(document.preamble.end(), pendingBlanks, RegRawLine{});
        }
        pendingBlanks = 0;
        RegEntry entry;
        if (section != nullptr && ReadEntry(line, entry)) {
            section->lines.emplace_back(std::move(entry));
        } else if (section != nullptr) {
            section->lines.emplace_back(RegRawLine{raw});
        } else {
            document.preamble.push_back({raw});
        }
    }
    return document;
}

std::string FormatRegFile(const RegDocument& document) {
    std::string out(kHeader);
    out += "\n\n";
    for (const RegRawLine& line : document.preamble) {
        out += line.text + "\n";
    }
    if (!document.preamble.empty()) {
        out += '\n';
    }
    for (const RegSection& section : document.sections) {
        out += "[" + section.path + "]" + section.comment + "\n";
        for (const auto& line : section.lines) {
            if (const auto* entry = std::get_if<RegEntry>(&line)) {
                out += FormatEntry(*entry);
            } else {
                out += std::get<RegRawLine>(line).text;
            }
            out += '\n';
        }
        out += '\n';
    }
    return out;
}

} // namespace tintorel
