// The language table: every text the windows show, by key, from one
// language file read at start-up. A file line is a key and a text separated
// by tabs; blank and comment lines are skipped and the first empty line ends
// the file. A key the table does not hold reads as "<-->".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tintorel {

struct BLocaleItem {
    std::string key;
    std::string text;
};

// The process-wide table, in file order.
std::vector<BLocaleItem>& LanguageTable();

// The text shown for a key the table does not hold.
extern const char* const kMissingText; // "<-->"

// Fills the table from the file `name` in `directory`. Returns 1 when the
// table holds at least one entry afterwards, -1 when it is empty.
int LoadLanguageFile(const std::string& directory, const std::string& name);

// The same for a language file's text already in memory.
int LoadLanguageText(std::string_view contents);

// A language file as it names itself: its file name, and the text of its
// "LanguageName" key (its language in its own words: "Deutsch").
struct LanguageFileName {
    std::string file;
    std::string name;
};
// The language files in `directory`, by name; one that does not name its
// language goes by its file name.
std::vector<LanguageFileName> LanguageFiles(const std::string& directory);

// The text of the first entry with exactly this key, or "<-->".
std::string LookupText(const std::string& key);

} // namespace tintorel
