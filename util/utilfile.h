// File-name handling on byte-string paths with "/" as the separator.
#pragma once

#include <string>
#include <string_view>

namespace tintorel {

// The part of `path` after its last "/"; empty when the path holds no "/"
// (a bare file name) or ends with one.
std::string FileNamePart(const std::string& path);

// `dir` without one trailing "/", then "/" and `name`. An empty directory
// gives "/" followed by the name.
std::string JoinDirAndName(const std::string& dir, const std::string& name);

} // namespace tintorel

namespace tintorel {

// Reads a regular file whole, as a text-mode read sees it: everything from
// the first byte 26 (Ctrl-Z) on is dropped. False, with `contents` empty,
// when the path is not a regular file that can be opened and read; a
// directory or a named pipe is never opened for reading, so nothing blocks.
bool ReadTextFile(const std::string& path, std::string& contents);

// Takes the next line off the front of `rest`: up to the next line feed,
// without it and without a carriage return directly before it. False when
// `rest` is empty (the end of the file).
bool NextTextLine(std::string_view& rest, std::string_view& line);

} // namespace tintorel
