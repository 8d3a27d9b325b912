// The settings store kept in one REGEDIT4 file per user.
//
// Every change is a read-modify-write under an exclusive lock held on a lock
// file beside the store: the new contents go to a temporary file in the same
// folder, which is flushed to disk and renamed over the store, so a reader
// never sees a half-written file and two programs writing at once keep each
// other's values. Every failure is silent: a read finds nothing, a write is
// lost, and the caller runs on.
#pragma once

#include "platform/store/regfile.h"
#include "platform/store/registry.h"
#include "util/utilfile.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tintorel {

class FileRegistryStore : public RegistryStore {
public:
    // An empty path makes a store that fails every operation.
    explicit FileRegistryStore(std::string filePath,
                               std::chrono::milliseconds lockTimeout = std::chrono::seconds(1));

    std::unique_ptr<RegistryKey> CreateKey(const std::string& path) override;

    // Within a batch the file is read once, at the first access, and the
    // values written go to the file in one locked rewrite when the batch
    // ends; other processes' changes made meanwhile are kept.
    void BeginBatch() override;
    void EndBatch() override;

    const std::string& FilePath() const { return filePath_; }
    // How many times this store has flushed a file or folder to disk, and
    // how many times it has read the file.
    int Syncs() const { return syncs_; }
    int Reads() const { return reads_; }

    // The current contents; a missing file is an empty tree. Nothing when the
    // file exists but cannot be read.
    std::optional<RegDocument> Load() const;

    // Applies `change` to the current contents under the lock and writes the
    // result back when `change` returns true. False when anything failed.
    bool Modify(const std::function<bool(RegDocument&)>& change);

private:
    friend class FileRegistryKey;

    struct Batch {
        Batch() {} // user-provided, so that optional::emplace takes it in every compiler
        int depth = 0;
        bool loaded = false;
        std::optional<RegDocument> document; // as read, with the batch's changes
        FileStamp stamp;                     // of the file as read
        std::vector<std::function<bool(RegDocument&)>> changes;
    };

    // The tree a batch works on, read at its first use; null outside a
    // batch, or when the file cannot be read.
    RegDocument* BatchDocument();
    // Records `change` and applies it to the batch's tree.
    void Change(std::function<bool(RegDocument&)> change);
    std::optional<RegDocument> Load(FileStamp& stamp) const;
    bool Commit(Batch& batch);
    // The one way the file changes: under the lock, the file as it is now
    // with `changes` applied (or, when the file is still as `batch` read
    // it, the batch's tree) is written back if anything changed.
    bool Transact(const std::vector<std::function<bool(RegDocument&)>>& changes,
                  const Batch* batch);
    // Writes `document` over the file; the lock must be held.
    bool Write(const RegDocument& document);

    std::string filePath_;
    std::string lockPath_;
    std::chrono::milliseconds lockTimeout_;
    std::optional<Batch> batch_;
    int syncs_ = 0;
    mutable int reads_ = 0;
};

// "$XDG_CONFIG_HOME/VRQM/tintorel.reg", or under "~/.config" when the
// variable is unset or not absolute; nothing without a home folder.
std::optional<std::string> SettingsFilePath();

// The full section path of a key below HKEY_CURRENT_USER, with empty parts
// dropped: "Software\\VRQM" gives "HKEY_CURRENT_USER\\Software\\VRQM".
std::string CurrentUserKeyPath(const std::string& path);

} // namespace tintorel
