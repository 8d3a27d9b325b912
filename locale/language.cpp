#include "locale/language.h"

#include "locale/texttables.h"
#include "util/utilfile.h"
#include "util/utilstring.h"

namespace tintorel {

const char* const kMissingText = "<-->";

std::vector<BLocaleItem>& LanguageTable() {
    static std::vector<BLocaleItem> table;
    return table;
}

int LoadLanguageText(std::string_view contents) {
    std::vector<BLocaleItem>& table = LanguageTable();
    table.clear();
    std::vector<std::string> fields;
    std::string_view rest = contents;
    std::string_view piece;
    while (NextTextLine(rest, piece) && !piece.empty()) {
        const std::string line(piece);
        if (!IsCommentLine(line)) {
            fields.clear();
            SplitTokens(line, "\t", fields);
            if (fields.size() == 2) {
                table.push_back({std::move(fields[0]), std::move(fields[1])});
            }
        }
    }
    return table.empty() ? -1 : 1;
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
