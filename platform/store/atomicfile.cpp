#include "platform/store/atomicfile.h"

#include "util/utilfile.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace tintorel {

namespace fs = std::filesystem;

namespace {

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

// Temporary files of an earlier writer of `target` that was killed between
// writing and renaming: "<name>.tmp" and six characters of mkstemp's.
void SweepTemporaries(const fs::path& target) {
    const std::string prefix = target.filename().string() + ".tmp";
    std::error_code error;
    for (const fs::directory_entry& item : fs::directory_iterator(target.parent_path(), error)) {
        const std::string name = item.path().filename().string();
        if (name.size() == prefix.size() + 6 && name.starts_with(prefix)) {
            fs::remove(item.path(), error);
        }
    }
}

} // namespace

std::string FolderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

bool MakeFolders(const std::string& folder) {
    std::error_code error;
    fs::path partial;
    for (const fs::path& part : fs::path(folder)) {
        partial /= part;
        if (fs::create_directory(partial, error)) {
            fs::permissions(partial, fs::perms::owner_all, error);
        }
    }
    return fs::is_directory(folder, error);
}

std::string FollowLinks(const std::string& path) {
    fs::path current = path;
    std::error_code error;
    for (int depth = 0; depth < 40; ++depth) {
        if (!fs::is_symlink(current, error)) {
            return current.string();
        }
        const fs::path target = fs::read_symlink(current, error);
        if (error || target.empty()) {
            return current.string();
        }
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current.string();
}

bool WriteFileAtomically(const std::string& path, const std::string& contents, int* syncs) {
    const fs::path target = FollowLinks(path);
    const std::string folder = FolderOf(target.string());
    if (!MakeFolders(folder)) {
        return false; // a dangling link into a folder that cannot be made
    }
    SweepTemporaries(target);
    std::string temporary = target.string() + ".tmpXXXXXX";
    const FileDescriptor out(mkostemp(temporary.data(), O_CLOEXEC));
    if (out.get() < 0) {
        return false;
    }
    if (syncs != nullptr) {
        ++*syncs;
    }
    if (!WriteAll(out.get(), contents) || fsync(out.get()) != 0 ||
        rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable.
    const FileDescriptor dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        if (syncs != nullptr) {
            ++*syncs;
        }
        fsync(dir.get());
    }
    return true;
}

} // namespace tintorel
