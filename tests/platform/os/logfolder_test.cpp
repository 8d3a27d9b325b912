#include "platform/os/logfolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace tintorel {
namespace {

// Sets or clears an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(LogFolder, FollowsTheXdgStateHome) {
    const struct {
        const char* state;
        const char* home;
        const char* folder;
    } cases[] = {
        {"/tmp/state", "/home/u", "/tmp/state/tintorel/"},
        {"/tmp/state/", "/home/u", "/tmp/state/tintorel/"},
        {nullptr, "/home/u", "/home/u/.local/state/tintorel/"},
        {"", "/home/u/", "/home/u/.local/state/tintorel/"},
        {"relative/state", "/home/u", "/home/u/.local/state/tintorel/"},
    };
    for (const auto& c : cases) {
        ScopedEnv state("XDG_STATE_HOME", c.state);
        ScopedEnv home("HOME", c.home);
        EXPECT_EQ(LogFolder(), std::optional<std::string>(c.folder))
            << (c.state ? c.state : "(unset)");
    }
}

} // namespace
} // namespace tintorel
