#include "app/datafolders.h"

#include "locale/language.h"
#include "locale/texttables.h"
#include "settings/params.h"
#include "settings/setup.h"

#include <cstdlib>

namespace tintorel {

namespace {

// A folder setting, or the shipped one in its place, with the reason.
std::string FolderOrShipped(const TextSetting& setting, const std::string& shipped,
                            std::vector<std::string>* notes) {
    std::string why;
    if (!Exists(setting)) {
        why = std::string("the setting ") + setting.name + " is missing";
    } else {
        const std::string stored = Read(setting);
        // An empty folder is the working folder, which always exists.
        if (stored.empty() || IsFolder(stored)) {
            return stored;
        }
        why = std::string("the setting ") + setting.name + " names no folder (" + stored + ")";
    }
    if (notes != nullptr) {
        notes->push_back("Using " + shipped + ": " + why);
    }
    return shipped;
}

} // namespace

std::string ShippedDataFolder() {
    return DataFolderFor(ThisProgram(), TINTOREL_SOURCE_DATA_DIR);
}

std::string ColourFolder(std::vector<std::string>* notes) {
    return FolderOrShipped(setting::ColorDir, ShippedDataFolder() + "colours/", notes);
}

std::string LanguageFolder() {
    return FolderOrShipped(setting::LocaleDir, ShippedDataFolder() + "languages/", nullptr);
}

std::vector<std::string> LoadLanguage() {
    std::vector<std::string> notes;
    const std::string shipped = ShippedDataFolder() + "languages/";
    const std::string folder = FolderOrShipped(setting::LocaleDir, shipped, &notes);
    const std::string file = Read(setting::LocaleFile);
    if (!file.empty() && LoadLanguageFile(folder, file) > 0) {
        return notes;
    }
    const std::string why = file.empty() ? "the setting LocaleFile is missing or empty"
                                         : "the language file " + file + " cannot be read";
    // The user's locale picks the shipped file, as the set-up step does;
    // then English; then the texts built into the program.
    const std::string forLocale = LanguageFileForLocale(std::getenv);
    for (const std::string& shippedFile : {forLocale, std::string("english.txt")}) {
        if (LoadLanguageFile(shipped, shippedFile) > 0) {
            notes.push_back("Using " + shipped + shippedFile + ": " + why);
            return notes;
        }
    }
    LoadBuiltInTexts();
    notes.push_back("Using the built-in English texts: " + why + ", nor can " + shipped +
                    forLocale + " or english.txt");
    return notes;
}

} // namespace tintorel
