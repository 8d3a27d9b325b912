#include "platform/store/storelock.h"
#include "tests/testfolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <future>
#include <sys/file.h>
#include <unistd.h>

namespace tintorel {
namespace {

using std::chrono::milliseconds;

// Another holder of the lock: its own open file, as another program has.
class OtherHolder {
public:
    explicit OtherHolder(const std::string& path)
        : fd_(open(path.c_str(), O_RDWR | O_CREAT, 0600)) {
        EXPECT_EQ(flock(fd_.get(), LOCK_EX | LOCK_NB), 0);
    }
    void Release() { flock(fd_.get(), LOCK_UN); }
    // Whether the lock is free for a third party right now.
    static bool Free(const std::string& path) {
        const FileDescriptor probe(open(path.c_str(), O_RDWR));
        if (flock(probe.get(), LOCK_EX | LOCK_NB) != 0) {
            return false;
        }
        flock(probe.get(), LOCK_UN);
        return true;
    }

private:
    FileDescriptor fd_;
};

TEST(StoreLock, IsTakenAtOnceWhenFreeAndGivenBackWhenItGoes) {
    TestFolder folder;
    const std::string path = folder / "s.lock";
    {
        const StoreLock lock(path, milliseconds(0));
        EXPECT_TRUE(lock.Held());
        EXPECT_FALSE(OtherHolder::Free(path));
    }
    EXPECT_TRUE(OtherHolder::Free(path));
}

TEST(StoreLock, GivesUpWhenHeldPastTheTimeout) {
    TestFolder folder;
    const std::string path = folder / "s.lock";
    OtherHolder other(path);
    EXPECT_FALSE(StoreLock(path, milliseconds(20)).Held());
    // The helper that was left waiting takes the lock when it comes free and
    // gives it back at once: the next caller gets it.
    other.Release();
    EXPECT_TRUE(StoreLock(path, std::chrono::minutes(1)).Held());
}

// A waiter is woken as soon as the holder lets go, however long it was
// willing to wait.
TEST(StoreLock, AWaiterGetsTheLockWhenItIsReleased) {
    TestFolder folder;
    const std::string path = folder / "s.lock";
    OtherHolder other(path);
    auto waiter = std::async(std::launch::async, [&path] {
        const StoreLock lock(path, std::chrono::minutes(1));
        return lock.Held();
    });
    other.Release();
    EXPECT_TRUE(waiter.get());
}

TEST(StoreLock, AnUnusableLockFileIsNotHeld) {
    EXPECT_FALSE(StoreLock("/nonexistent-folder/s.lock", milliseconds(0)).Held());
}

} // namespace
} // namespace tintorel
