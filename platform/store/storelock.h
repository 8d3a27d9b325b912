// An exclusive lock between processes on a lock file, held for the life of
// the object. Waiting is bounded: a lock another program keeps longer than
// the timeout is not taken, and the caller carries on without it.
#pragma once

#include "util/utilfile.h"

#include <chrono>
#include <string>

namespace tintorel {

class StoreLock {
public:
    // Takes the lock on `lockPath` (created if missing), waiting at most
    // `timeout` for another holder to give it up.
    StoreLock(const std::string& lockPath, std::chrono::milliseconds timeout);
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    bool Held() const { return held_; }

private:
    FileDescriptor fd_;
    bool held_ = false;
};

} // namespace tintorel
