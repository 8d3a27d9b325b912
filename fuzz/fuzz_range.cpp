// Range texts as a person may have edited them in the settings file.
#include "settings/params.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    int values[4] = {-7, -7, -7, -7};
    const int read = tintorel::ParseRangeText(text, values, 4);
    if (read < 0 || read > 4) {
        std::abort();
    }
    for (int i = read; i < 4; ++i) {
        if (values[i] != -7) {
            std::abort(); // positions not read are left alone
        }
    }
    return 0;
}
