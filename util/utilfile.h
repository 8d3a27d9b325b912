// File-name handling on byte-string paths with "/" as the separator.
#pragma once

#include <string>

namespace tintorel {

// The part of `path` after its last "/"; empty when the path holds no "/"
// (a bare file name) or ends with one.
std::string FileNamePart(const std::string& path);

// `dir` without one trailing "/", then "/" and `name`. An empty directory
// gives "/" followed by the name.
std::string JoinDirAndName(const std::string& dir, const std::string& name);

} // namespace tintorel
