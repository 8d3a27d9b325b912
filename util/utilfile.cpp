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

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tintorel {

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

namespace {

FileStamp StampFrom(const struct stat& info) {
    return {static_cast<unsigned long long>(info.st_dev),
            static_cast<unsigned long long>(info.st_ino), static_cast<long long>(info.st_size),
            static_cast<long long>(info.st_mtim.tv_sec),
            static_cast<long long>(info.st_mtim.tv_nsec)};
}

} // namespace

FileStamp StampOf(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? StampFrom(info) : FileStamp{};
}

FileRead ReadWholeFile(const std::string& path, std::string& contents) {
    FileStamp ignored;
    return ReadWholeFile(path, contents, ignored);
}

FileRead ReadWholeFile(const std::string& path, std::string& contents, FileStamp& stamp) {
    contents.clear();
    stamp = {};
    // Non-blocking, so that opening a named pipe cannot hang; such files are
    // then refused below.
    const FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) {
        return errno == ENOENT ? FileRead::Missing : FileRead::Failed;
    }
    struct stat info {};
    if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return FileRead::Failed;
    }
    stamp = StampFrom(info);
    if (info.st_size > 0) {
        contents.reserve(static_cast<std::size_t>(info.st_size));
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(file.get(), buffer, sizeof buffer);
        if (got == 0) {
            return FileRead::Read;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            contents.clear();
            return FileRead::Failed;
        }
        contents.append(buffer, static_cast<std::size_t>(got));
    }
}

bool ReadTextFile(const std::string& path, std::string& contents) {
    if (ReadWholeFile(path, contents) != FileRead::Read) {
        return false;
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

std::vector<std::string> ListTextFiles(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + '/';
    while (const dirent* item = readdir(dir)) {
        const std::string name = item->d_name;
        if (name.size() < 5 || name[0] == '.') {
            continue;
        }
        std::string extension = name.substr(name.size() - 4);
        std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        });
        struct stat info {};
        if (extension == ".txt" && stat((prefix + name).c_str(), &info) == 0 &&
            S_ISREG(info.st_mode)) {
            names.push_back(name);
        }
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace tintorel
