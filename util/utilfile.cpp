#include "util/utilfile.h"

namespace tintorel {

namespace {
constexpr char kSeparator = '/';
}

std::string FileNamePart(const std::string& path) {
    const std::string::size_type last = path.rfind(kSeparator);
    if (last == std::string::npos) {
        return {};
    }
    return path.substr(last + 1);
}

std::string JoinDirAndName(const std::string& dir, const std::string& name) {
    std::string result = dir;
    if (!result.empty() && result.back() == kSeparator) {
        result.pop_back();
    }
    result += kSeparator;
    result += name;
    return result;
}

} // namespace tintorel
