#include "util/utilstring.h"

namespace tintorel {

void SplitTokens(const std::string& text, const std::string& delimiters,
                 std::vector<std::string>& tokens) {
    std::string::size_type start = text.find_first_not_of(delimiters);
    while (start != std::string::npos) {
        std::string::size_type end = text.find_first_of(delimiters, start);
        if (end == std::string::npos) {
            end = text.size();
        }
        tokens.push_back(text.substr(start, end - start));
        if (end == text.size()) {
            break;
        }
        start = text.find_first_not_of(delimiters, end + 1);
    }
}

bool IsCommentLine(const std::string& line) {
    const std::string::size_type first = line.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return true;
    }
    const std::string_view rest = std::string_view(line).substr(first);
    return rest.starts_with(';') || rest.starts_with("//") || rest.starts_with("--") ||
           rest.starts_with("REM");
}

} // namespace tintorel
