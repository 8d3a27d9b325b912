// File-name handling on byte-string paths with "/" as the separator.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tintorel {

// The part of `path` after its last "/"; empty when the path holds no "/"
// (a bare file name) or ends with one.
std::string FileNamePart(const std::string& path);

// `dir` without one trailing "/", then "/" and `name`. An empty directory
// gives "/" followed by the name.
std::string JoinDirAndName(const std::string& dir, const std::string& name);

} // namespace tintorel

namespace tintorel {

// Owns a POSIX file descriptor and closes it on every way out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

enum class FileRead { Read, Missing, Failed };

// Reads a regular file whole, byte for byte. Missing when nothing is at the
// path; Failed (with `contents` empty) when it is not a regular file or
// cannot be read. A directory or a named pipe is never opened for reading,
// so nothing blocks.
FileRead ReadWholeFile(const std::string& path, std::string& contents);

// Which file a path named and its state when it was read: the same stamp
// later means the file was neither replaced nor rewritten in between.
struct FileStamp {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    long long size = -1;
    long long modifiedSeconds = 0;
    long long modifiedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

// ReadWholeFile that also gives the stamp of what it read (the default
// stamp for a missing file).
FileRead ReadWholeFile(const std::string& path, std::string& contents, FileStamp& stamp);
// The stamp of the file `path` names now; the default stamp when it is
// missing or cannot be examined.
FileStamp StampOf(const std::string& path);

// Reads a regular file whole, as a text-mode read sees it: everything from
// the first byte 26 (Ctrl-Z) on is dropped. False, with `contents` empty,
// when the path is not a regular file that can be opened and read; a
// directory or a named pipe is never opened for reading, so nothing blocks.
bool ReadTextFile(const std::string& path, std::string& contents);

// The names of the regular files ending in ".txt" (any case) in `folder`,
// in byte order; none when the folder cannot be read.
std::vector<std::string> ListTextFiles(const std::string& folder);

// Takes the next line off the front of `rest`: up to the next line feed,
// without it and without a carriage return directly before it. False when
// `rest` is empty (the end of the file).
bool NextTextLine(std::string_view& rest, std::string_view& line);

} // namespace tintorel
