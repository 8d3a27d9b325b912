// Splitting texts into fields and recognising the blank and comment lines
// that the colour list files and the language files share.
#pragma once

#include <string>
#include <vector>

namespace tintorel {

// Appends to `tokens` every maximal run of characters of `text` that holds
// none of the characters of `delimiters`. Runs of delimiters count as one
// separator, so no empty field is ever appended.
void SplitTokens(const std::string& text, const std::string& delimiters,
                 std::vector<std::string>& tokens);

// True for a line holding only spaces and tabs, and for a line whose first
// other character starts ";", "//", "--" or "REM" (capitals, anything after).
bool IsCommentLine(const std::string& line);

} // namespace tintorel
