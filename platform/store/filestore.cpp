#include "platform/store/filestore.h"

#include "platform/store/atomicfile.h"
#include "platform/os/logfolder.h"
#include "platform/store/storelock.h"
#include "util/utilfile.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace tintorel {

namespace {

constexpr const char* kRoot = "HKEY_CURRENT_USER";

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
    return Transact(batch.changes, &batch);
}

bool FileRegistryStore::Modify(const std::function<bool(RegDocument&)>& change) {
    return Transact({change}, nullptr);
}

bool FileRegistryStore::Transact(const std::vector<std::function<bool(RegDocument&)>>& changes,
                                 const Batch* batch) {
    if (filePath_.empty() || !MakeFolders(FolderOf(filePath_))) {
        return false;
    }
    const StoreLock lock(lockPath_, lockTimeout_);
    if (!lock.Held()) {
        return false;
    }
    // Unchanged since the batch read it: the batch's tree is what the
    // changes make of the file, and a large file is not read again.
    if (batch != nullptr && batch->document && StampOf(filePath_) == batch->stamp &&
        batch->stamp.size >= 0) {
        return Write(*batch->document);
    }
    std::optional<RegDocument> document = Load();
    if (!document) {
        return false; // never replace a file that could not be read
    }
    bool changed = false;
    for (const auto& change : changes) {
        changed = change(*document) || changed;
    }
    return !changed || Write(*document);
}

bool FileRegistryStore::Write(const RegDocument& document) {
    return WriteFileAtomically(filePath_, FormatRegFile(document), &syncs_);
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
