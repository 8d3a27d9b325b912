// Whole language files: load and look up.
#include "fuzzfile.h"
#include "locale/language.h"
#include "locale/texttables.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tintorel;
    const std::string& path = fuzz::WriteInput(data, size);
    const std::string folder = path.substr(0, path.rfind('/'));
    const int result = LoadLanguageFile(folder, path.substr(path.rfind('/') + 1));
    if ((result == 1) == LanguageTable().empty()) {
        std::abort();
    }
    for (const BLocaleItem& item : LanguageTable()) {
        if (item.key.empty() || item.text.empty() || item.key.find('\t') != std::string::npos) {
            std::abort();
        }
    }
    for (const TextKey& key : MainTextKeys()) {
        (void)LookupText(key.key);
    }
    return 0;
}
