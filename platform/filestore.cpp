#include "platform/filestore.h"

#include "platform/logfolder.h"
#include "util/utilfile.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tintorel {

namespace {

constexpr const char* kRoot = "HKEY_CURRENT_USER";

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

// mkdir -p, with the new folders private to the user.
bool MakeFolders(const std::string& folder) {
    std::string partial;
    std::size_t at = 0;
    while (at != std::string::npos) {
        at = folder.find('/', at + 1);
        partial = folder.substr(0, at);
        if (!partial.empty() && mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
    }
    struct stat info {};
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The file a path names after following its symbolic links, which dotfile
// managers put in place of the settings file: the new contents are renamed
// onto the link's target, so the link stays a link. A link that loops, or
// goes too deep, is taken as it stands.
std::string FollowLinks(std::string path) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return path;
        }
        std::string target(4096, '\0');
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) {
            return path;
        }
        target.resize(static_cast<std::size_t>(length));
        path = target.front() == '/' ? target : FolderOf(path) + "/" + target;
    }
    return path;
}

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

// The exclusive lock on the lock file, given up when the object goes.
//
// When another program holds it, a helper thread waits in a blocking flock:
// the kernel wakes a blocked waiter as soon as the lock is released, where
// polling could lose every race against a busy writer. If the lock does not
// come within the timeout the helper is abandoned and gives the lock back
// the moment it gets it.
class StoreLock {
public:
    StoreLock(const std::string& lockPath, std::chrono::milliseconds timeout)
        : fd_(open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (fd_.get() < 0) {
            return;
        }
        if (flock(fd_.get(), LOCK_EX | LOCK_NB) == 0) {
            held_ = true;
            return;
        }
        if (errno != EWOULDBLOCK) {
            return;
        }
        // The helper's descriptor shares the open file, and so the lock.
        const int waitFd = fcntl(fd_.get(), F_DUPFD_CLOEXEC, 0);
        if (waitFd < 0) {
            return;
        }
        auto wait = std::make_shared<Wait>();
        try {
            std::thread([wait, waitFd] {
                int result = 0;
                do {
                    result = flock(waitFd, LOCK_EX);
                } while (result != 0 && errno == EINTR);
                {
                    const std::lock_guard<std::mutex> guard(wait->mutex);
                    if (result == 0 && wait->abandoned) {
                        flock(waitFd, LOCK_UN);
                    }
                    wait->acquired = result == 0;
                    wait->done = true;
                }
                close(waitFd);
                wait->changed.notify_all();
            }).detach();
        } catch (const std::system_error&) {
            close(waitFd);
            return;
        }
        std::unique_lock<std::mutex> guard(wait->mutex);
        wait->changed.wait_for(guard, timeout, [&wait] { return wait->done; });
        if (wait->done) {
            held_ = wait->acquired;
        } else {
            wait->abandoned = true;
        }
    }
    bool Held() const { return held_; }

private:
    struct Wait {
        std::mutex mutex;
        std::condition_variable changed;
        bool done = false;
        bool acquired = false;
        bool abandoned = false;
    };

    FileDescriptor fd_;
    bool held_ = false;
};

} // namespace

class FileRegistryKey : public RegistryKey {
public:
    // `opened` is the tree as the key was opened: a key lives for one read
    // or write, so its first query reads that instead of the file again.
    FileRegistryKey(FileRegistryStore& store, std::vector<std::string> chain,
                    std::optional<RegDocument> opened)
        : store_(store), chain_(std::move(chain)), opened_(std::move(opened)) {}
    // A key of a batch, which reads the batch's tree.
    FileRegistryKey(FileRegistryStore& store, std::vector<std::string> chain)
        : store_(store), chain_(std::move(chain)) {}

    bool ValueExists(const std::string& name) override { return QueryValue(name).has_value(); }

    std::optional<RegValue> QueryValue(const std::string& name) override {
        if (const RegDocument* batch = store_.BatchDocument()) {
            return Find(*batch, name);
        }
        std::optional<RegDocument> document;
        std::swap(document, opened_);
        if (!document) {
            document = store_.Load();
        }
        if (!document) {
            return std::nullopt;
        }
        return Find(*document, name);
    }

    bool SetValue(const std::string& name, const RegValue& value) override {
        opened_.reset();
        const auto change = [chain = chain_, name, value](RegDocument& document) {
            // The key may have been removed by hand since it was opened.
            AddMissingSections(document, chain);
            SetRegValue(*document.Find(chain.back()), name, value);
            return true;
        };
        if (store_.BatchDocument() != nullptr) {
            store_.Change(change);
            return true;
        }
        return store_.Modify(change);
    }

    static bool AllSectionsExist(const RegDocument& document,
                                 const std::vector<std::string>& chain) {
        return std::all_of(chain.begin(), chain.end(), [&document](const std::string& path) {
            return document.Find(path) != nullptr;
        });
    }

    static bool AddMissingSections(RegDocument& document, const std::vector<std::string>& chain) {
        bool added = false;
        for (const std::string& path : chain) {
            if (document.Find(path) == nullptr) {
                document.sections.push_back({path, {}, {}});
                added = true;
            }
        }
        return added;
    }

private:
    std::optional<RegValue> Find(const RegDocument& document, const std::string& name) const {
        const RegValue* value = FindRegValue(document, chain_.back(), name);
        if (value == nullptr) {
            return std::nullopt;
        }
        return *value;
    }

    FileRegistryStore& store_;
    std::vector<std::string> chain_; // the key and its ancestors, outermost first
    std::optional<RegDocument> opened_;
};

std::string CurrentUserKeyPath(const std::string& path) {
    std::string full = kRoot;
    std::size_t at = 0;
    while (at <= path.size()) {
        const std::size_t end = std::min(path.find('\\', at), path.size());
        if (end > at) {
            full += '\\';
            full += path.substr(at, end - at);
        }
        at = end + 1;
    }
    return full;
}

FileRegistryStore::FileRegistryStore(std::string filePath, std::chrono::milliseconds lockTimeout)
    : filePath_(std::move(filePath)), lockPath_(filePath_.empty() ? "" : filePath_ + ".lock"),
      lockTimeout_(lockTimeout) {}

std::unique_ptr<RegistryKey> FileRegistryStore::CreateKey(const std::string& path) {
    if (filePath_.empty()) {
        return nullptr;
    }
    // The key and every key on the way to it, each a section of its own.
    std::vector<std::string> chain;
    const std::string full = CurrentUserKeyPath(path);
    for (std::size_t at = full.find('\\'); at != std::string::npos; at = full.find('\\', at + 1)) {
        chain.push_back(full.substr(0, at));
    }
    chain.push_back(full);
    if (chain.size() > 1) {
        chain.erase(chain.begin()); // the root itself needs no section
    }
    if (batch_) {
        RegDocument* document = BatchDocument();
        if (document == nullptr) {
            return nullptr;
        }
        if (!FileRegistryKey::AllSectionsExist(*document, chain)) {
            Change(
                [chain](RegDocument& d) { return FileRegistryKey::AddMissingSections(d, chain); });
        }
        return std::make_unique<FileRegistryKey>(*this, std::move(chain));
    }
    std::optional<RegDocument> current = Load();
    if (!current) {
        return nullptr;
    }
    if (!FileRegistryKey::AllSectionsExist(*current, chain)) {
        if (!Modify([&chain](RegDocument& document) {
                return FileRegistryKey::AddMissingSections(document, chain);
            })) {
            return nullptr;
        }
        current.reset(); // the file changed: the first query reads it again
    }
    return std::make_unique<FileRegistryKey>(*this, std::move(chain), std::move(current));
}

std::optional<RegDocument> FileRegistryStore::Load() const {
    FileStamp ignored;
    return Load(ignored);
}

std::optional<RegDocument> FileRegistryStore::Load(FileStamp& stamp) const {
    if (filePath_.empty()) {
        return std::nullopt;
    }
    std::string text;
    ++reads_;
    switch (ReadWholeFile(filePath_, text, stamp)) {
    case FileRead::Read:
        return ParseRegFile(text);
    case FileRead::Missing:
        return RegDocument{};
    case FileRead::Failed:
        break;
    }
    return std::nullopt;
}

void FileRegistryStore::BeginBatch() {
    if (!batch_) {
        batch_.emplace();
    }
    ++batch_->depth;
}

void FileRegistryStore::EndBatch() {
    if (!batch_ || --batch_->depth > 0) {
        return;
    }
    if (!batch_->changes.empty()) {
        Commit(*batch_);
    }
    batch_.reset();
}

RegDocument* FileRegistryStore::BatchDocument() {
    if (!batch_) {
        return nullptr;
    }
    if (!batch_->loaded) {
        batch_->loaded = true;
        batch_->document = Load(batch_->stamp);
    }
    return batch_->document ? &*batch_->document : nullptr;
}

void FileRegistryStore::Change(std::function<bool(RegDocument&)> change) {
    if (RegDocument* document = BatchDocument()) {
        change(*document);
        batch_->changes.push_back(std::move(change));
    }
}

bool FileRegistryStore::Commit(Batch& batch) {
    if (!MakeFolders(FolderOf(filePath_))) {
        return false;
    }
    const StoreLock lock(lockPath_, lockTimeout_);
    if (!lock.Held()) {
        return false;
    }
    // Unchanged since the batch read it: the batch's tree is what the
    // changes make of the file, and a large file is not read again.
    if (StampOf(filePath_) == batch.stamp && batch.stamp.size >= 0) {
        return Write(*batch.document);
    }
    std::optional<RegDocument> document = Load();
    if (!document) {
        return false; // never replace a file that could not be read
    }
    bool changed = false;
    for (const auto& change : batch.changes) {
        changed = change(*document) || changed;
    }
    return !changed || Write(*document);
}

bool FileRegistryStore::Modify(const std::function<bool(RegDocument&)>& change) {
    if (filePath_.empty()) {
        return false;
    }
    if (!MakeFolders(FolderOf(filePath_))) {
        return false;
    }
    const StoreLock lock(lockPath_, lockTimeout_);
    if (!lock.Held()) {
        return false;
    }
    std::optional<RegDocument> document = Load();
    if (!document) {
        return false; // never replace a file that could not be read
    }
    if (!change(*document)) {
        return true;
    }
    return Write(*document);
}

bool FileRegistryStore::Write(const RegDocument& document) {
    const std::string target = FollowLinks(filePath_);
    const std::string targetFolder = FolderOf(target);
    if (target != filePath_ && !MakeFolders(targetFolder)) {
        return false; // a dangling link into a folder that cannot be made
    }
    // Under the lock no other writer is between its write and its rename:
    // temporary files left by a writer that was killed can go.
    const std::string prefix = target.substr(target.rfind('/') + 1) + ".tmp";
    if (DIR* dir = opendir(targetFolder.c_str())) {
        while (const dirent* item = readdir(dir)) {
            const std::string name = item->d_name;
            if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0) {
                unlink((targetFolder + "/" + name).c_str());
            }
        }
        closedir(dir);
    }
    std::string temporary = target + ".tmpXXXXXX";
    const FileDescriptor out(mkostemp(temporary.data(), O_CLOEXEC));
    if (out.get() < 0) {
        return false;
    }
    ++syncs_;
    if (!WriteAll(out.get(), FormatRegFile(document)) || fsync(out.get()) != 0 ||
        rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable.
    const FileDescriptor dir(open(targetFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ++syncs_;
        fsync(dir.get());
    }
    return true;
}

std::optional<std::string> SettingsFilePath() {
    std::string config;
    if (const char* value = std::getenv("XDG_CONFIG_HOME"); value != nullptr && value[0] == '/') {
        config = value;
    } else if (const std::optional<std::string> home = HomeFolder()) {
        config = *home + (home->back() == '/' ? "" : "/") + ".config";
    } else {
        return std::nullopt;
    }
    if (config.back() != '/') {
        config += '/';
    }
    return config + "VRQM/tintorel.reg";
}

} // namespace tintorel
