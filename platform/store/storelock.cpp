#include "platform/store/storelock.h"

#include <cerrno>
#include <condition_variable>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/file.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace tintorel {

namespace {

// What the waiting helper and the caller share.
struct Wait {
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    bool acquired = false;
    bool abandoned = false;
};

} // namespace

// When another program holds the lock, a helper thread waits in a blocking
// flock: the kernel wakes a blocked waiter as soon as the lock is released,
// where polling could lose every race against a busy writer. If the lock
// does not come within the timeout the helper is abandoned and gives the
// lock back the moment it gets it.
StoreLock::StoreLock(const std::string& lockPath, std::chrono::milliseconds timeout)
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

} // namespace tintorel
