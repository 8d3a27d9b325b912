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

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tintorel {

namespace {

// Closes a file descriptor on every way out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

bool ReadTextFile(const std::string& path, std::string& contents) {
    contents.clear();
    // Non-blocking, so that opening a named pipe cannot hang; such files are
    // then refused below.
    const FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat info {};
    if (file.get() < 0 || fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    if (info.st_size > 0) {
        contents.reserve(static_cast<std::size_t>(info.st_size));
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(file.get(), buffer, sizeof buffer);
        if (got == 0) {
            break;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            contents.clear();
            return false;
        }
        contents.append(buffer, static_cast<std::size_t>(got));
    }
    const std::string::size_type end = contents.find('\x1a');
    if (end != std::string::npos) {
        contents.resize(end);
    }
    return true;
}

bool NextTextLine(std::string_view& rest, std::string_view& line) {
    if (rest.empty()) {
        return false;
    }
    const std::string_view::size_type feed = rest.find('\n');
    if (feed == std::string_view::npos) {
        line = rest;
        rest = {};
        return true;
    }
    line = rest.substr(0, feed);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    rest.remove_prefix(feed + 1);
    return true;
}

} // namespace tintorel
