#include "settings/setup.h"

#include "settings/params.h"

namespace tintorel {

std::string LanguageFileForLocale(const std::function<const char*(const char*)>& getEnv) {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = getEnv(variable);
        if (value == nullptr || value[0] == '\0') {
            continue;
        }
        const std::string locale = value;
        if (locale.starts_with("fr")) {
            return "french.txt";
        }
        if (locale.starts_with("de")) {
            return "german.txt";
        }
        break;
    }
    return "english.txt";
}

std::vector<std::string> RunSetup(const SetupValues& values) {
    // Everything it sets goes into the file in one write.
    const SettingsBatch batch;
    // The program's keys, empty, as an installer leaves them: the first
    // start then only reads, instead of creating each key on its way.
    for (const char* subKey :
         {"\\Color", "\\Tab", "\\Sort", "\\Pos", "\\Format", "\\Range", "\\File", "\\Pipette"}) {
        try {
            SettingsStore().CreateKey(ParamsKey(subKey));
        } catch (...) {
            // As every settings access: a store that fails is left alone.
        }
    }
    const std::string key = ParamsKey("\\File");
    std::vector<std::string> written;
    const auto put = [&](const char* name, const std::string& text) {
        if (!SettingExists(key, name)) {
            WriteTextSetting(key, name, text);
            written.emplace_back(name);
        }
    };
    put("ColorDir", values.colourDir);
    put("LocaleDir", values.languageDir);
    put("LocaleFile", values.languageFile);
    // A first start shows the web colours, not whichever list sorts first.
    put("ColorFile", values.colourFile);
    return written;
}

} // namespace tintorel
