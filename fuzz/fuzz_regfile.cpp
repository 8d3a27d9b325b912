// The settings file: parse, write, parse again. Writing what was read must
// keep every value, and writing it a second time must change nothing.
#include "platform/store/regfile.h"

#include <cstdlib>
#include <string_view>

namespace {

bool SameValues(const tintorel::RegDocument& a, const tintorel::RegDocument& b) {
    if (a.sections.size() != b.sections.size()) {
        return false;
    }
    for (std::size_t s = 0; s < a.sections.size(); ++s) {
        const auto& left = a.sections[s].lines;
        const auto& right = b.sections[s].lines;
        if (a.sections[s].path != b.sections[s].path || left.size() != right.size()) {
            return false;
        }
        for (std::size_t i = 0; i < left.size(); ++i) {
            const auto* x = std::get_if<tintorel::RegEntry>(&left[i]);
            const auto* y = std::get_if<tintorel::RegEntry>(&right[i]);
            if ((x == nullptr) != (y == nullptr) ||
                (x && (x->name != y->name || !(x->value == y->value)))) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tintorel;
    const RegDocument first =
        ParseRegFile(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string written = FormatRegFile(first);
    const RegDocument second = ParseRegFile(written);
    if (!SameValues(first, second) || FormatRegFile(second) != written) {
        std::abort();
    }
    return 0;
}
