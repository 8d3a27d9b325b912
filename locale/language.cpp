#include "locale/language.h"

#include "util/utilfile.h"
#include "util/utilstring.h"

namespace tintorel {

const char* const kMissingText = "<-->";

std::vector<BLocaleItem>& LanguageTable() {
    static std::vector<BLocaleItem> table;
    return table;
}

int LoadLanguageFile(const std::string& directory, const std::string& name) {
    std::vector<BLocaleItem>& table = LanguageTable();
    table.clear();
    std::string contents;
    if (ReadTextFile(JoinDirAndName(directory, name), contents)) {
        std::string_view rest = contents;
        std::string_view view;
        std::vector<std::string> fields;
        while (NextTextLine(rest, view) && !view.empty()) {
            const std::string line(view);
            if (IsCommentLine(line)) {
                continue;
            }
            fields.clear();
            SplitTokens(line, "\t", fields);
            if (fields.size() == 2) {
                table.push_back({std::move(fields[0]), std::move(fields[1])});
            }
        }
    }
    return table.empty() ? -1 : 1;
}

std::string LookupText(const std::string& key) {
    for (const BLocaleItem& item : LanguageTable()) {
        if (item.key == key) {
            return item.text;
        }
    }
    return kMissingText;
}

} // namespace tintorel
