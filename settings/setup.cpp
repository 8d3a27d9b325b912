#include "settings/setup.h"

#include "settings/params.h"

#include <sys/stat.h>
#include <unistd.h>

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

bool IsFolder(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ThisProgram() {
    std::string self(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", self.data(), self.size() - 1);
    self.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return self;
}

std::string DataFolderFor(const std::string& program, const std::string& fallback) {
    const std::size_t slash = program.rfind('/');
    if (slash != std::string::npos) {
        const std::string bin = program.substr(0, slash);
        const std::string installed = bin.substr(0, bin.rfind('/') + 1) + "share/tintorel/";
        if (IsFolder(installed + "colours")) {
            return installed;
        }
    }
    return fallback.empty() || fallback.back() == '/' ? fallback : fallback + '/';
}

} // namespace tintorel
