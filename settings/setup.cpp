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
    for (const char* subKey : setting::SubKeys) {
        try {
            SettingsStore().CreateKey(ParamsKey(subKey));
        } catch (...) {
            // As every settings access: a store that fails is left alone.
        }
    }
    std::vector<std::string> written;
    const auto put = [&](const TextSetting& setting, const std::string& text) {
        if (!Exists(setting)) {
            Write(setting, text);
            written.emplace_back(setting.name);
        }
    };
    put(setting::ColorDir, values.colourDir);
    put(setting::LocaleDir, values.languageDir);
    put(setting::LocaleFile, values.languageFile);
    // A first start shows the web colours, not whichever list sorts first.
    put(setting::ColorFile, values.colourFile);
    return written;
}

} // namespace tintorel
