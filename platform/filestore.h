// The settings store kept in one REGEDIT4 file per user.
//
// Every change is a read-modify-write under an exclusive lock held on a lock
// file beside the store: the new contents go to a temporary file in the same
// folder, which is flushed to disk and renamed over the store, so a reader
// never sees a half-written file and two programs writing at once keep each
// other's values. Every failure is silent: a read finds nothing, a write is
// lost, and the caller runs on.
#pragma once

#include "platform/regfile.h"
#include "platform/registry.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace tintorel {

class FileRegistryStore : public RegistryStore {
public:
    // An empty path makes a store that fails every operation.
    explicit FileRegistryStore(std::string filePath,
                               std::chrono::milliseconds lockTimeout = std::chrono::seconds(1));

    std::unique_ptr<RegistryKey> CreateKey(const std::string& path) override;

    const std::string& FilePath() const { return filePath_; }

    // The current contents; a missing file is an empty tree. Nothing when the
    // file exists but cannot be read.
    std::optional<RegDocument> Load() const;

    // Applies `change` to the current contents under the lock and writes the
    // result back when `change` returns true. False when anything failed.
    bool Modify(const std::function<bool(RegDocument&)>& change);

private:
    std::string filePath_;
    std::string lockPath_;
    std::chrono::milliseconds lockTimeout_;
};

// "$XDG_CONFIG_HOME/VRQM/tintorel.reg", or under "~/.config" when the
// variable is unset or not absolute; nothing without a home folder.
std::optional<std::string> SettingsFilePath();

// The full section path of a key below HKEY_CURRENT_USER, with empty parts
// dropped: "Software\\VRQM" gives "HKEY_CURRENT_USER\\Software\\VRQM".
std::string CurrentUserKeyPath(const std::string& path);

} // namespace tintorel
