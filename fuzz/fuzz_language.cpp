// Language file texts, parsed from memory: load and look up.
#include "locale/language.h"
#include "locale/texttables.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tintorel;
    const int result =
        LoadLanguageText(std::string_view(reinterpret_cast<const char*>(data), size));
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
