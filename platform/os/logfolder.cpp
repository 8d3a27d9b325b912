#include "platform/os/logfolder.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace tintorel {

namespace {

std::optional<std::string> AbsoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') {
        return std::nullopt;
    }
    return std::string(value);
}

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

} // namespace

std::optional<std::string> HomeFolder() {
    if (auto home = AbsoluteEnv("HOME")) {
        return home;
    }
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return std::string(found->pw_dir);
    }
    return std::nullopt;
}

std::optional<std::string> LogFolder() {
    if (auto state = AbsoluteEnv("XDG_STATE_HOME")) {
        return WithSlash(*state) + "tintorel/";
    }
    if (auto home = HomeFolder()) {
        return WithSlash(*home) + ".local/state/tintorel/";
    }
    return std::nullopt;
}

} // namespace tintorel
