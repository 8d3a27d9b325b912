#include "locale/language.h"

#include "locale/texttables.h"
#include "util/utilfile.h"
#include "util/utilstring.h"
#include "version.h"

#include <algorithm>

namespace tintorel {

const char* const kMissingText = "<-->";

namespace {

// A language file names the version as a placeholder, so that the files in
// a checkout, copied for a translation, show the program's own version
// whichever version reads them.
void FillInVersion(std::string& text) {
    static constexpr std::string_view kPlaceholder = "@PROJECT_VERSION@";
    for (std::size_t at = text.find(kPlaceholder); at != std::string::npos;
         at = text.find(kPlaceholder, at)) {
        text.replace(at, kPlaceholder.size(), TINTOREL_VERSION);
        at += std::string_view(TINTOREL_VERSION).size();
    }
}

} // namespace

std::vector<BLocaleItem>& LanguageTable() {
    static std::vector<BLocaleItem> table;
    return table;
}

namespace {

// The entries of a language file's text, in file order.
std::vector<BLocaleItem> ParseLanguageText(std::string_view contents) {
    std::vector<BLocaleItem> table;
    std::vector<std::string> fields;
    std::string_view rest = contents;
    std::string_view piece;
    while (NextTextLine(rest, piece) && !piece.empty()) {
        const std::string line(piece);
        if (!IsCommentLine(line)) {
            fields.clear();
            SplitTokens(line, "\t", fields);
            if (fields.size() == 2) {
                FillInVersion(fields[1]);
                table.push_back({std::move(fields[0]), std::move(fields[1])});
            }
        }
    }
    return table;
}

} // namespace

int LoadLanguageText(std::string_view contents) {
    std::vector<BLocaleItem>& table = LanguageTable();
    table = ParseLanguageText(contents);
    return table.empty() ? -1 : 1;
}

std::vector<LanguageFileName> LanguageFiles(const std::string& directory) {
    std::vector<LanguageFileName> found;
    for (const std::string& file : ListTextFiles(directory)) {
        std::string contents;
        if (!ReadTextFile(JoinDirAndName(directory, file), contents)) {
            continue;
        }
        // A file of texts that does not name its language is listed by its
        // file name; a file of no texts is no language file.
        const std::vector<BLocaleItem> items = ParseLanguageText(contents);
        if (items.empty()) {
            continue;
        }
        const auto named = std::find_if(items.begin(), items.end(), [](const BLocaleItem& item) {
            return item.key == "LanguageName";
        });
        found.push_back({file, named != items.end() ? named->text : file});
    }
    std::sort(found.begin(), found.end(),
              [](const LanguageFileName& a, const LanguageFileName& b) { return a.name < b.name; });
    return found;
}

int LoadLanguageFile(const std::string& directory, const std::string& name) {
    std::string contents;
    if (!ReadTextFile(JoinDirAndName(directory, name), contents)) {
        LanguageTable().clear();
        return -1;
    }
    return LoadLanguageText(contents);
}

std::string LookupText(const std::string& key) {
    for (const BLocaleItem& item : LanguageTable()) {
        if (item.key == key) {
            return item.text;
        }
    }
    if (const char* later = LaterKeyText(key.c_str())) {
        return later;
    }
    return kMissingText;
}

} // namespace tintorel
